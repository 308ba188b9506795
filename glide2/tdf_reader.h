#pragma once

// The card's .3df reader working on bytes in memory; gu3dfGetInfo and
// gu3dfLoad feed it from files.

#include "glide2/glide.h"

#include <cstddef>

// Parses the four header lines. On success fills info->header and
// info->mem_required, sets *headerBytes to the offset of the first byte after
// the header and returns true; info->table and info->data are left alone.
bool tdfReadHeader(const unsigned char* bytes, std::size_t size, Gu3dfInfo* info, std::size_t* headerBytes);

// Loads the colour table (if the format has one) and the texels into
// info->data, which must hold info->mem_required bytes. The file's header
// must describe what info->header says. 16-bit texels come out in host order.
bool tdfReadBody(const unsigned char* bytes, std::size_t size, Gu3dfInfo* info);

// Why the last gu3dfGetInfo or gu3dfLoad on this thread failed, in a few
// words ("" after a success). Glide itself only says FXFALSE.
const char* tdfLastProblem();
