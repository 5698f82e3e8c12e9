// The exported interface as a client sees it: only PlExif.h, linked against the shared library.

#include "PlExif.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace PlExif;

namespace
{

std::wstring Text(IPlExifString* s)
{
    std::wstring text(static_cast<size_t>(s->GetLength()), L'\0');
    s->GetString(text.data(), s->GetLength());
    s->Release();
    return text;
}

std::wstring DisplayName(const PlExifContext& c, EExifTagId id)
{
    IPlExifString* name = nullptr;
    EXPECT_EQ(eOk, c.GetTagDisplayName(id, name));
    return name ? Text(name) : L"";
}

class PlExifInterface : public testing::Test
{
protected:
    void TearDown() override { SetLanguageID(0x0409); }
};

TEST_F(PlExifInterface, LibraryManagedTagsAreReadOnly)
{
    PlExifContext c;
    IPlExifTag* tag = nullptr;
    ASSERT_EQ(eOk, c.CreateTag(eTagExposureTime, tag));
    tag->Release();
    for (EExifTagId id :
         {eTagJPEGInterchangeFormat, eTagJPEGInterchangeFormatLength, eTagExifIFDPointer,
          eTagGPSInfoIFDPointer, eTagInteroperabilityIFDPointer})
    {
        IPlExifTag* untouched = reinterpret_cast<IPlExifTag*>(0x1);
        EXPECT_EQ(eErrReadOnlyTag, c.GetTag(id, untouched));
        EXPECT_EQ(reinterpret_cast<IPlExifTag*>(0x1), untouched);
        EXPECT_EQ(eErrReadOnlyTag, c.CreateTag(id, untouched));
        EXPECT_EQ(eErrReadOnlyTag, c.RemoveTag(id));
    }
    // The const form reads the pointer tag.
    const PlExifContext& constContext = c;
    const IPlExifTag* pointer = nullptr;
    ASSERT_EQ(eOk, constContext.GetTag(eTagExifIFDPointer, pointer));
    EXPECT_EQ(4u, pointer->GetType());
    EXPECT_EQ(86u, pointer->GetTagIdCount());
    pointer->Release();
}

TEST_F(PlExifInterface, CreateGetAndRemoveTags)
{
    PlExifContext c;
    EXPECT_EQ(0, c.GetNumTags());
    const IPlExifTag* missing = reinterpret_cast<const IPlExifTag*>(0x1);
    EXPECT_EQ(eErrNotFound, static_cast<const PlExifContext&>(c).GetTag(eTagMake, missing));
    EXPECT_EQ(nullptr, missing);
    EXPECT_EQ(eErrNotFound,
              static_cast<const PlExifContext&>(c).GetTag(static_cast<EExifTagId>(86), missing));
    IPlExifTag* tag = nullptr;
    EXPECT_EQ(eErrFailed, c.CreateTag(static_cast<EExifTagId>(-1), tag));

    IPlExifTag* make = nullptr;
    ASSERT_EQ(eOk, c.CreateTag(eTagMake, make));
    ASSERT_EQ(eOk, make->SetString(L"Maker"));
    IPlExifTag* again = nullptr;
    ASSERT_EQ(eOk, c.CreateTag(eTagMake, again));
    EXPECT_EQ(make, again);
    make->Release();
    again->Release();
    IPlExifTag* fetched = nullptr;
    ASSERT_EQ(eOk, c.GetTag(eTagMake, fetched));
    IPlExifString* value = nullptr;
    ASSERT_EQ(eOk, fetched->GetString(value));
    EXPECT_EQ(L"Maker", Text(value));
    fetched->Release();

    EXPECT_EQ(eTagRemoved, c.RemoveTag(eTagModel)); // IFD0 exists, Model absent
    EXPECT_EQ(eOk, c.RemoveTag(eTagGPSLatitude));   // no GPS directory
    EXPECT_EQ(eErrFailed, c.RemoveTag(static_cast<EExifTagId>(86)));
    EXPECT_EQ(eTagRemoved, c.RemoveTag(eTagMake));
    EXPECT_EQ(0, c.GetNumTags());
    EXPECT_EQ(eErrNoTags, c.WriteToFile(L"out.jpg"));
}

TEST_F(PlExifInterface, ThumbnailRemovalAlwaysAnswersFailed)
{
    PlExifContext c;
    EXPECT_EQ(eErrFailed, c.RemoveThumbnail());
    EXPECT_EQ(nullptr, c.GetThumbnail());
    unsigned long size = 0;
    EXPECT_EQ(eErrNotFound, c.GetThumbnailSize(size));
}

TEST_F(PlExifInterface, IteratorOrderRestartAndLifetime)
{
    std::vector<EExifTagId> created = {eTagInteroperabilityIndex, eTagExposureTime,
                                       eTagGPSVersionID, eTagModel};
    IPlExifTagIterator* it = nullptr;
    {
        PlExifContext c;
        for (EExifTagId id : created)
        {
            IPlExifTag* tag = nullptr;
            ASSERT_EQ(eOk, c.CreateTag(id, tag));
            tag->Release();
        }
        ASSERT_EQ(eOk, c.GetTagIterator(it));
        std::vector<unsigned long> types;
        for (int pass = 0; pass < 2; ++pass)
        {
            types.clear();
            const IPlExifTag* tag = nullptr;
            while (it->Next(tag) == eOk)
            {
                types.push_back(tag->GetType());
                tag->Release();
            }
        }
        // Model, Exif pointer, GPS pointer | GPS version | exposure, Interop pointer | index.
        EXPECT_EQ((std::vector<unsigned long>{2, 4, 4, 1, 5, 4, 2}), types);
        EXPECT_EQ(static_cast<long>(types.size()), c.GetNumTags());
    }
    // The iterator outlives the handle; the context it holds is released with it.
    EXPECT_EQ(eOk, it->Reset());
    it->Release();
}

TEST_F(PlExifInterface, DisplayNamesAndLanguage)
{
    PlExifContext c;
    IPlExifString* name = reinterpret_cast<IPlExifString*>(0x1);
    EXPECT_EQ(eErrNotFound, c.GetTagDisplayName(static_cast<EExifTagId>(86), name));
    SetLanguageID(0x0807);
    EXPECT_EQ(L"Ger\u00e4tehersteller", DisplayName(c, eTagMake));
    EXPECT_EQ(L"Belichtungszeit (sec.)", DisplayName(c, eTagExposureTime));
    SetLanguageID(0x0409);
    EXPECT_EQ(L"Manufacturer", DisplayName(c, eTagMake));
    SetLanguageID(0x040C); // French is not offered through this call: English.
    EXPECT_EQ(L"Manufacturer", DisplayName(c, eTagMake));

    IPlExifTag* tag = nullptr;
    ASSERT_EQ(eOk, c.CreateTag(eTagExposureTime, tag));
    const unsigned long exposure[] = {1, 60};
    ASSERT_EQ(eOk, tag->SetRationals(exposure, 1));
    SetLanguageID(0x0407);
    IPlExifString* text = nullptr;
    ASSERT_EQ(eOk, tag->GetValueText(text));
    EXPECT_EQ(L"1/60 Sek.", Text(text));
    ASSERT_EQ(eOk, tag->GetDisplayName(text));
    EXPECT_EQ(L"Belichtungszeit (sec.)", Text(text));
    tag->Release();
}

TEST_F(PlExifInterface, StringCopiesFillAndMayLeaveNoTerminator)
{
    PlExifContext* c = new PlExifContext;
    IPlExifString* name = nullptr;
    ASSERT_EQ(eOk, c->GetTagDisplayName(eTagMake, name));
    delete c; // strings are independent of their context
    ASSERT_EQ(12, name->GetLength());
    wchar_t buffer[16];
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_EQ(eOk, name->GetString(buffer, 15));
    EXPECT_EQ(std::wstring(L"Manufacturer\0\0\0#", 16), std::wstring(buffer, 16));
    std::fill(std::begin(buffer), std::end(buffer), L'#');
    EXPECT_EQ(eOk, name->GetString(buffer, 4));
    EXPECT_EQ(std::wstring(L"Manu####"), std::wstring(buffer, 8));
    EXPECT_EQ(2u, name->AddRef());
    EXPECT_EQ(1u, name->Release());
    name->Release();
}

TEST_F(PlExifInterface, CopiesAreIndependent)
{
    PlExifContext target;
    {
        PlExifContext source;
        IPlExifTag* tag = nullptr;
        ASSERT_EQ(eOk, source.CreateTag(eTagArtist, tag));
        ASSERT_EQ(eOk, tag->SetString(L"Jane"));
        tag->Release();
        ASSERT_EQ(eOk, source.CreateTag(eTagUserComment, tag));
        ASSERT_EQ(eOk, tag->SetString(L"Hi"));
        tag->Release();

        PlExifContext copy(source);
        target = source;
        target = target;
        ASSERT_EQ(eOk, copy.GetTag(eTagArtist, tag));
        ASSERT_EQ(eOk, tag->SetString(L"John"));
        tag->Release();
    }
    EXPECT_EQ(3, target.GetNumTags());
    IPlExifTag* artist = nullptr;
    ASSERT_EQ(eOk, target.GetTag(eTagArtist, artist));
    IPlExifString* text = nullptr;
    ASSERT_EQ(eOk, artist->GetValueText(text));
    EXPECT_EQ(L"Jane", Text(text));
    artist->Release();

    IPlExifTag* comment = nullptr;
    ASSERT_EQ(eOk, target.GetTag(eTagUserComment, comment));
    IPlExifBuffer* bytes = nullptr;
    ASSERT_EQ(eOk, comment->GetUndefined(bytes));
    comment->Release();
    target.Clear();
    EXPECT_EQ(0, target.GetNumTags());
    // The buffer is a copy that outlives the cleared context.
    ASSERT_EQ(14u, bytes->GetSize());
    EXPECT_EQ('U', bytes->GetData()[0]);
    EXPECT_EQ('H', bytes->GetData()[8]);
    bytes->Release();
}

TEST_F(PlExifInterface, DateRecordFromTheDateTag)
{
    PlExifContext c;
    IPlExifTag* tag = nullptr;
    ASSERT_EQ(eOk, c.CreateTag(eTagDateTime, tag));
    ASSERT_EQ(eOk, tag->SetString(L"2010:09:17 08:11:07"));
    SYSTEMTIME st{};
    ASSERT_EQ(eOk, tag->GetDateTime(st));
    EXPECT_EQ(2010, st.wYear);
    EXPECT_EQ(17, st.wDay);
    EXPECT_EQ(7, st.wSecond);
    static_assert(sizeof(SYSTEMTIME) == 16, "eight 16-bit fields");
    tag->Release();
}

TEST_F(PlExifInterface, FileOperationsCheckTheirArguments)
{
    PlExifContext c;
    EXPECT_EQ(eErrFileType, c.ReadFromData(nullptr, 10));
    EXPECT_EQ(eErrFailed, c.SetThumbnail(nullptr, 10, nullptr));
    IPlExifBuffer* buffer = nullptr;
    EXPECT_EQ(eErrFailed, c.WriteWholeApp1ToBuffer(buffer));
    IPlExifTag* tag = nullptr;
    ASSERT_EQ(eOk, c.CreateTag(eTagMake, tag));
    tag->Release();
    EXPECT_EQ(eErrFileType, c.WriteToFile(L"picture.tif"));
}

} // namespace
