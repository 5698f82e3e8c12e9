// A client of the installed library: only the public header and the shared library.
#include <PlExif.h>

#include <cstdio>
#include <string>

int main()
{
    PlExif::SetLanguageID(0x0409);
    PlExif::PlExifContext context;
    PlExif::IPlExifTag* tag = nullptr;
    if (context.CreateTag(PlExif::eTagMake, tag) != PlExif::eOk)
        return 1;
    tag->SetString(L"Maker");
    PlExif::IPlExifString* text = nullptr;
    const PlExif::EError result = tag->GetValueText(text);
    tag->Release();
    if (result != PlExif::eOk)
        return 2;
    std::wstring value(static_cast<size_t>(text->GetLength()), L'\0');
    text->GetString(value.data(), text->GetLength());
    text->Release();
    std::printf("%ls\n", value.c_str());
    return value == L"Maker" && context.GetNumTags() == 1 ? 0 : 3;
}
