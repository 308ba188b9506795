#pragma once

#include <string>
#include <vector>

// Where the game's relative file names resolve. The working folder comes
// first (a build's data folder, or the player's own folder of an installed
// copy); read-only data not found there is looked up in the folders set here.
// Writable files always stay in the working folder.
void setDataFolders(const std::vector<std::string>& folders);
const std::vector<std::string>& dataFolders();

// The path under which name is read: name itself when the working folder
// holds it as a regular file, else the first data folder's copy that is
// one; name unchanged when none does, so that "not found" names the file as
// the game knows it.
std::string dataFilePath(const std::string& name);

// Saving is refused with this reason when the player has no folder for it;
// empty when saving is allowed.
void setSavingRefused(const std::string& reason);
const std::string& savingRefusedReason();
