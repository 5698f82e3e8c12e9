#include "plcore/PeImage.h"
#include "plcore/SetupHeaders.h"
#include "tests/fixtures/PeBuilder.h"

#include <gtest/gtest.h>

using namespace plcore;
using pltest::Bytes;

namespace
{

TEST(PeImage, FindsNamedRcDataIgnoringCaseAndResolvesItsFileOffset)
{
    const Bytes image =
        pltest::BuildPeImage({{10, u"_PLN_VERIFY", 0, Bytes{1, 2, 3, 4, 5, 6, 7, 8}},
                              {10, u"PLNID", 0, Bytes(256, 7)},
                              {16, u"", 1, Bytes(40, 9)}});
    CPeImage pe;
    ASSERT_EQ(pe.Parse(image), PeError::None);
    EXPECT_EQ(pe.Machine(), 0x14C);
    EXPECT_EQ(pe.ImageEnd(), image.size());

    const auto verify = pe.FindResourceData({10, {}}, {0, u"_pln_verify"});
    ASSERT_TRUE(verify);
    EXPECT_EQ(verify->size, 8u);
    EXPECT_EQ(image[verify->fileOffset], 1);
    EXPECT_EQ(image[verify->fileOffset + 7], 8);

    const auto version = pe.FindResourceData({16, {}}, {1, {}});
    ASSERT_TRUE(version);
    EXPECT_EQ(image[version->fileOffset], 9);

    EXPECT_FALSE(pe.FindResourceData({10, {}}, {0, u"MISSING"}));
    EXPECT_FALSE(pe.FindResourceData({10, {}}, {1, {}}));
    const auto names = pe.ResourceNames({10, {}});
    ASSERT_EQ(names.size(), 2u);
}

TEST(PeImage, RefusesWhatIsNotAPe32Image)
{
    Bytes image = pltest::BuildPeImage({});
    CPeImage pe;
    EXPECT_EQ(pe.Parse(Bytes{'P', 'K', 3, 4}), PeError::NotExe);
    EXPECT_EQ(pe.Parse(Bytes{'M', 'Z'}), PeError::BadPeSignature);

    Bytes badSignature = image;
    badSignature[64] = 'X';
    EXPECT_EQ(pe.Parse(badSignature), PeError::BadPeSignature);

    Bytes farPointer = image;
    farPointer[60] = 0xF0;
    farPointer[63] = 0x7F;
    EXPECT_EQ(pe.Parse(farPointer), PeError::BadPeSignature);

    Bytes pe32Plus = image;
    pe32Plus[88] = 0x0B;
    pe32Plus[89] = 0x02;
    EXPECT_EQ(pe.Parse(pe32Plus), PeError::NotPe32);

    EXPECT_EQ(pe.Parse(Bytes(image.begin(), image.begin() + 100)), PeError::NotPe32);
}

TEST(PeImage, DamagedResourceTreeFindsNothingAndReadsNothingOutside)
{
    Bytes image = pltest::BuildPeImage({{10, u"_PLN_VERIFY", 0, Bytes(8, 0)}});
    // The root directory claims 0xFFFF entries.
    image[0x200 + 14] = 0xFF;
    image[0x200 + 15] = 0xFF;
    CPeImage pe;
    ASSERT_EQ(pe.Parse(image), PeError::None);
    EXPECT_FALSE(pe.FindResourceData({10, {}}, {0, u"_PLN_VERIFY"}));
}

TEST(SetupHeaders, ReadsTheSecurityDirectoryOrNamesTheFormatFault)
{
    Bytes image = pltest::BuildPeImage({});
    EXPECT_FALSE(ReadSetupHeaders(image).IsSigned());
    EXPECT_EQ(ReadSetupHeaders(image).error, SetupHeaderError::None);

    image[64 + CPeImage::kSecurityDirectoryField] = 0x10;
    image[64 + CPeImage::kSecurityDirectoryField + 4] = 0x20;
    const SetupHeaders signedHeaders = ReadSetupHeaders(image);
    EXPECT_TRUE(signedHeaders.IsSigned());
    EXPECT_EQ(signedHeaders.SignedFileSize(), 0x30u);

    // The sum is taken in 32 bits, as the system stores it.
    Bytes wrapping = image;
    for (int i = 0; i < 4; ++i)
        wrapping[64 + CPeImage::kSecurityDirectoryField + 4 + i] = 0xFF;
    EXPECT_EQ(ReadSetupHeaders(wrapping).SignedFileSize(), 0x0Fu);

    EXPECT_EQ(ReadSetupHeaders(Bytes{'P', 'K'}).error, SetupHeaderError::NotExe);
    EXPECT_EQ(ReadSetupHeaders(Bytes(image.begin(), image.begin() + 200)).error,
              SetupHeaderError::BadPeSignature);
}

} // namespace
