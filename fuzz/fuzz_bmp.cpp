// Any bytes as a BMP file, read into a buffer of a size the input chooses:
// the reader must never write past it.

#include "files/bmp.h"
#include "fuzz_support.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    size_t capacity = (size_t(data[0]) << 8 | data[1]) * 3;
    std::string path = writeScratchFile("picture.bmp", data + 2, size - 2);
    std::vector<uint8_t> buffer(capacity);
    BmpSize picture;
    if (readBmp(path, buffer.data(), buffer.size(), &picture)) {
        if (picture.width < 1 || picture.height < 1 || bmpImageBytes(picture.width, picture.height) > capacity ||
            bmpImageBytes(picture.width, picture.height) + 54 > size - 2)
            std::abort();
    }
    return 0;
}
