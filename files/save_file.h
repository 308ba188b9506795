#pragma once

#include <string>

// Writes the best-times table, the one file of ours a player may share or
// link elsewhere, so that no failure loses what was there:
//   - through a symbolic link, to the file it names;
//   - a file that exists but cannot be read, is not a regular file, or is
//     read-only is left alone (the player's choice), and the save fails;
//   - the new contents go to a temporary file of our own beside the target
//     (created exclusively, never through a link planted at its name),
//     flushed to disk, renamed over the target, and the folder flushed;
//   - where no file can be made beside it (a shared file in a read-only
//     folder) or the disk is full, the file is rewritten in place: written
//     over from its start, then cut to length, and put back as it was when
//     the write fails;
//   - a successful save removes the temporary files that earlier saves of
//     the same file left when they were killed before their rename (only
//     its own name pattern, only regular files untouched for a minute, so
//     that a save running in another program keeps its own).
// False with the reason (the system's text) when nothing could be saved.
bool saveFile(const std::string& name, const std::string& contents, std::string& reason);

// The same for a file of our own in the player's folder (the working
// folder): replays and settings. Nothing planted there redirects it: a
// symbolic link or anything but a regular file at the name, or a folder on
// the way that leads outside the player's folder, refuses the save.
bool saveOwnFile(const std::string& name, const std::string& contents, std::string& reason);

// Copies the file name, as it is now, to a new file copyName (replacing an
// older one); false with the reason when it cannot.
bool keepFileCopy(const std::string& name, const std::string& copyName, std::string& reason);
