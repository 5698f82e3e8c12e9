// Writes a stub-shaped PE image (the fixtures' resources and version block) as a fuzzing seed.
#include "tests/fixtures/PeBuilder.h"

#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const pltest::Bytes image = pltest::BuildPeImage(pltest::StubResources());
    std::ofstream(argv[1], std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    return 0;
}
