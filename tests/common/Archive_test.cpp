#include <gtest/gtest.h>

#include "common/Archive.h"
#include "common/Folders.h"
#include "support/TestPorts.h"

namespace {

TEST(ArchiveText, LengthFormsAndShiftJis) {
    struct Case {
        std::size_t length;
        std::string prefix;
    } cases[] = {
        {0, Hex("00")},
        {254, Hex("FE")},
        {255, Hex("FF FF 00")},
        {65533, Hex("FF FD FF")},
        {65534, Hex("FF FF FF FE FF 00 00")},
        {65535, Hex("FF FF FF FF FF 00 00")},
        {65536, Hex("FF FF FF 00 00 01 00")},
        {70000, Hex("FF FF FF 70 11 01 00")},
    };
    for (const auto& c : cases) {
        CArchiveWriter w;
        w.WriteString(std::string(c.length, 'a'));
        ASSERT_EQ(w.Bytes().size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(w.Bytes().substr(0, c.prefix.size()), c.prefix) << c.length;
        CArchiveReader r(w.Bytes());
        EXPECT_EQ(r.ReadString().size(), c.length);
        EXPECT_TRUE(r.AtEnd());
    }
    // The length counts Shift-JIS bytes: 127 two-byte characters and one more
    // letter need the three-byte form.
    std::string wide;
    for (int i = 0; i < 127; ++i) wide += "山";
    for (auto [text, prefix] : {std::pair{wide, Hex("FE")}, std::pair{wide + "a", Hex("FF FF 00")}}) {
        CArchiveWriter ww;
        ww.WriteString(text);
        EXPECT_EQ(ww.Bytes().substr(0, prefix.size()), prefix);
        CArchiveReader rr(ww.Bytes());
        EXPECT_EQ(rr.ReadString(), text);
        EXPECT_TRUE(rr.AtEnd());
    }
    // Japanese is written as Shift-JIS.
    CArchiveWriter w;
    w.WriteString("氏名");
    EXPECT_EQ(w.Bytes(), Hex("04 8E 81 96 BC"));
    CArchiveReader r(w.Bytes());
    EXPECT_EQ(r.ReadString(), "氏名");
}

TEST(ArchiveNumbers, LittleEndianAndCounts) {
    CArchiveWriter w;
    w.WriteInt32(-2);
    w.WriteUInt16(0x1234);
    w.WriteDouble(1.5);
    w.WriteCount(3);
    w.WriteCount(0xFFFE);
    w.WriteCount(0xFFFF);
    EXPECT_EQ(w.Bytes(), Hex("FE FF FF FF 34 12 00 00 00 00 00 00 F8 3F 03 00 FE FF FF FF FF FF 00 00"));
    CArchiveReader r(w.Bytes());
    EXPECT_EQ(r.ReadInt32(), -2);
    EXPECT_EQ(r.ReadUInt16(), 0x1234);
    EXPECT_EQ(r.ReadDouble(), 1.5);
    EXPECT_EQ(r.ReadCount(), 3u);
    EXPECT_EQ(r.ReadCount(), 0xFFFEu);
    EXPECT_EQ(r.ReadCount(), 0xFFFFu);
    EXPECT_TRUE(r.AtEnd());
}

TEST(ArchiveObjects, ClassTableNumbersClassesAndObjects) {
    CArchiveWriter w;
    w.WriteCount(3);
    w.WriteObjectTag("CMLVCol", 1);  // class 1, object 2
    w.WriteObjectTag("CMLVCol", 1);  // object 3
    w.WriteObjectTag("COther", 2);   // class 4, object 5
    w.WriteObjectTag("COther", 2);
    w.WriteNullObject();
    EXPECT_EQ(w.Bytes(), Hex("03 00 FF FF 01 00 07 00") + "CMLVCol" + Hex("01 80 FF FF 02 00 06 00") + "COther" +
                             Hex("04 80 00 00"));

    CArchiveReader r(w.Bytes());
    r.ReadCount();
    EXPECT_TRUE(r.ReadObjectTag("CMLVCol", 1));
    EXPECT_TRUE(r.ReadObjectTag("CMLVCol", 1));
    EXPECT_TRUE(r.ReadObjectTag("COther", 2));
    EXPECT_TRUE(r.ReadObjectTag("COther", 2));
    EXPECT_FALSE(r.ReadObjectTag("COther", 2));
    EXPECT_TRUE(r.AtEnd());
}

TEST(ArchiveObjects, ReadingRejectsMismatchesMalformedTagsAndShortReads) {
    std::string full = Hex("FF FF 01 00 07 00") + "CMLVCol";
    EXPECT_THROW(CArchiveReader(full).ReadObjectTag("CMLVCom", 1), ArchiveError);
    EXPECT_THROW(CArchiveReader(full).ReadObjectTag("CMLVCol", 2), ArchiveError);
    EXPECT_THROW(CArchiveReader(Hex("01 80")).ReadObjectTag("CMLVCol", 1), ArchiveError);  // unknown index
    EXPECT_THROW(CArchiveReader(Hex("01 00")).ReadObjectTag("CMLVCol", 1), ArchiveError);  // back-reference
    {
        // 0x8002 names the first object, not a class.
        CArchiveReader r(full + Hex("02 80"));
        r.ReadObjectTag("CMLVCol", 1);
        EXPECT_THROW(r.ReadObjectTag("CMLVCol", 1), ArchiveError);
    }
    EXPECT_THROW(CArchiveReader(Hex("FF FF 01 00 07 00") + "CMLV").ReadObjectTag("CMLVCol", 1), ArchiveError);
    // Short reads.
    EXPECT_THROW(CArchiveReader(Hex("01 02 03")).ReadInt32(), ArchiveError);
    EXPECT_THROW(CArchiveReader(Hex("05 61 62")).ReadString(), ArchiveError);
    EXPECT_THROW(CArchiveReader(Hex("FF FF")).ReadString(), ArchiveError);
    EXPECT_THROW(CArchiveReader(Hex("FF FF 10")).ReadCount(), ArchiveError);
    EXPECT_THROW(CArchiveReader("").ReadByte(), ArchiveError);
}

TEST(ArchiveFiles, ErrorsShowTheFileMessageAndKeepTheOldFile) {
    TestPorts ports;
    TempDir dir;
    std::string path = dir.File("x.sys");
    ASSERT_TRUE(WriteArchiveFile(path, [](CArchiveWriter& w) { w.WriteInt32(7); }));
    EXPECT_EQ(ReadBytes(path), Hex("07 00 00 00"));

    // A writer that fails midway leaves the previous content.
    EXPECT_FALSE(WriteArchiveFile(path, [](CArchiveWriter& w) {
        w.WriteInt32(8);
        throw ArchiveError("boom");
    }));
    EXPECT_EQ(ReadBytes(path), Hex("07 00 00 00"));

    // A short file is a read error.
    int32_t a = 0, b = 0;
    EXPECT_FALSE(ReadArchiveFile(path, [&](CArchiveReader& r) {
        a = r.ReadInt32();
        b = r.ReadInt32();
    }));
    EXPECT_EQ(TryReadArchiveFile(dir.File("none.sys"), [](CArchiveReader&) {}), FileResult::Missing);
    EXPECT_EQ(ports.prompt.Texts(),
              (std::vector<std::string>{"ファイル操作中にエラーが発生しました", "ファイル操作中にエラーが発生しました"}));
    // No temporary file stays behind.
    std::string found;
    EXPECT_TRUE(FindFileInFolder(dir.Path(), "", &found));
    EXPECT_EQ(found, path);

    // A file longer than the cap is not read at all.
    std::string bytes = "old";
    EXPECT_FALSE(ReadWholeFile(path, bytes, 3));
    EXPECT_EQ(bytes, "");
    EXPECT_TRUE(ReadWholeFile(path, bytes, 4));
    EXPECT_EQ(bytes, Hex("07 00 00 00"));
}

}  // namespace
