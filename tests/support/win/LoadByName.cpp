// pl-loadlib.exe NAME...: loads each DLL by its plain name with the default search order, as an
// unprotected program would. The counterpart of the stub in the DLL-planting test.
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    int loaded = 0;
    for (int i = 1; i < argc; ++i)
        if (LoadLibraryW(argv[i]) != nullptr)
            ++loaded;
    return loaded;
}
