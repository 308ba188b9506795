// libFuzzer target: the .3df reader must refuse or accept any bytes without
// reading or writing outside its buffers.
#include "glide2/tdf_reader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Gu3dfInfo info{};
    if (!tdfReadHeader(data, size, &info, nullptr))
        return 0;
    std::vector<std::uint8_t> texels(info.mem_required);
    info.data = texels.data();
    tdfReadBody(data, size, &info);
    return 0;
}
