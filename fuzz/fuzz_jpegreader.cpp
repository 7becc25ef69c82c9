// libFuzzer target: the program's JPEG reader, as a load calls it.
#include "readerfuzzing.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startQtForFuzzing(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    readAsTheLoaderDoes(QByteArray(reinterpret_cast<const char *>(data), int(size)), "jpeg");
    return 0;
}
