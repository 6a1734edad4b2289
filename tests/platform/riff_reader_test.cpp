// The RIFF chunk reader on files made here: descending, searching inside a parent, pad bytes,
// sizes that run past the file, reads and seeks at the edges.
#include "platform/riff_reader.h"

#include <gtest/gtest.h>

#include "tests/audio/sound_files.h"

namespace {

using namespace sound_test;
using plat::FourCc;
using plat::RiffChunk;
using plat::RiffReader;

class RiffReaderTest : public ::testing::Test {
 protected:
  bool OpenBytes(const Bytes& bytes) { return reader_.Open(folder_.Write("Sound.WAV", bytes)); }
  TempFolder folder_;
  RiffReader reader_;
};

TEST_F(RiffReaderTest, DescendsIntoTheOuterChunkAndFindsChildrenPastOddSizedSiblings) {
  // "junk" has an odd size, so a pad byte follows it; the LIST chunk has a form type of its own.
  const Bytes file = Riff("WAVE", {Chunk("junk", Counting(3)), Chunk("LIST", {'I', 'N', 'F', 'O', 9, 9}),
                                   Chunk("data", Counting(6))});
  ASSERT_TRUE(OpenBytes(file));
  EXPECT_EQ(reader_.file_size(), file.size());
  RiffChunk riff;
  ASSERT_TRUE(reader_.Descend(&riff));
  EXPECT_EQ(riff.id, plat::kRiffId);
  EXPECT_EQ(riff.form_type, FourCc('W', 'A', 'V', 'E'));
  EXPECT_EQ(riff.data_offset, 8u);
  EXPECT_EQ(riff.size, file.size() - 8);
  EXPECT_EQ(reader_.position(), 12u);

  RiffChunk list;
  ASSERT_TRUE(reader_.FindChunk(&list, plat::kListId, &riff));
  EXPECT_EQ(list.form_type, FourCc('I', 'N', 'F', 'O'));
  EXPECT_EQ(list.data_offset, 12u + 12u + 8u);
  EXPECT_EQ(reader_.position(), list.data_offset + 4);
  ASSERT_TRUE(reader_.Ascend(list));

  RiffChunk data;
  ASSERT_TRUE(reader_.FindChunk(&data, FourCc('d', 'a', 't', 'a'), &riff));
  EXPECT_EQ(data.size, 6u);
  EXPECT_EQ(data.form_type, 0u);
  Bytes got(6);
  EXPECT_EQ(reader_.Read(got.data(), 6), 6);
  EXPECT_EQ(got, Counting(6));

  // Searching on from the end of the parent finds nothing; from its start, the first chunk.
  EXPECT_FALSE(reader_.FindChunk(&data, FourCc('j', 'u', 'n', 'k'), &riff));
  ASSERT_EQ(reader_.Seek(12), 12);
  RiffChunk junk;
  ASSERT_TRUE(reader_.FindChunk(&junk, FourCc('j', 'u', 'n', 'k'), &riff));
  ASSERT_TRUE(reader_.Ascend(junk));
  EXPECT_EQ(reader_.position(), 12u + 8u + 4u);  // past the pad byte
}

TEST_F(RiffReaderTest, SearchStaysInsideTheParent) {
  // The RIFF chunk states a size that ends before the `data` chunk, which follows in the file.
  Bytes file = Riff("WAVE", {Chunk("fmt ", Pcm16Mono())});
  const Bytes after = Chunk("data", Counting(4));
  file.insert(file.end(), after.begin(), after.end());
  ASSERT_TRUE(OpenBytes(file));
  RiffChunk riff, data;
  ASSERT_TRUE(reader_.Descend(&riff));
  EXPECT_FALSE(reader_.FindChunk(&data, FourCc('d', 'a', 't', 'a'), &riff));
  ASSERT_EQ(reader_.Seek(12), 12);
  EXPECT_TRUE(reader_.FindChunk(&data, FourCc('d', 'a', 't', 'a'), nullptr));
}

TEST_F(RiffReaderTest, SizesRunningPastTheFileAreClipped) {
  struct Case {
    const char* name;
    std::int64_t stated;
    std::uint32_t expected;
  };
  for (const Case& c : {Case{"larger by one", 11, 10}, Case{"huge", 0xFFFFFFFF, 10}, Case{"exact", 10, 10},
                        Case{"smaller", 4, 4}}) {
    SCOPED_TRACE(c.name);
    const Bytes file = Chunk("data", Counting(10), c.stated);
    ASSERT_TRUE(OpenBytes(file));
    RiffChunk data;
    ASSERT_TRUE(reader_.Descend(&data));
    EXPECT_EQ(data.size, c.expected);
    ASSERT_TRUE(reader_.Ascend(data));
    EXPECT_LE(reader_.position(), reader_.file_size());
  }
  // A search through a chunk claiming 4 GiB ends at the end of the file.
  Bytes file = Chunk("junk", Counting(2), 0xFFFFFFF0);
  const Bytes more = Chunk("data", Counting(2));
  file.insert(file.end(), more.begin(), more.end());
  ASSERT_TRUE(OpenBytes(file));
  RiffChunk data;
  EXPECT_FALSE(reader_.FindChunk(&data, FourCc('d', 'a', 't', 'a'), nullptr));
}

TEST_F(RiffReaderTest, TruncatedHeadersFailToDescend) {
  for (const Bytes& file : {Bytes{'R', 'I', 'F', 'F', 4, 0, 0}, Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A'},
                            Bytes{'R', 'I', 'F', 'F', 2, 0, 0, 0, 'W', 'A', 'V', 'E'}, Bytes{}}) {
    ASSERT_TRUE(OpenBytes(file));
    RiffChunk chunk;
    EXPECT_FALSE(reader_.Descend(&chunk)) << file.size();
  }
}

TEST_F(RiffReaderTest, ReadsAndSeeksStayInsideTheFile) {
  ASSERT_TRUE(OpenBytes(Counting(10)));
  Bytes got(16, 0xEE);
  EXPECT_EQ(reader_.Seek(7), 7);
  EXPECT_EQ(reader_.Read(got.data(), 16), 3);  // short at the end of the file
  EXPECT_EQ(got[2], Counting(10)[9]);
  EXPECT_EQ(got[3], 0xEE);
  EXPECT_EQ(reader_.Read(got.data(), 16), 0);
  EXPECT_EQ(reader_.Read(got.data(), -1), -1);
  EXPECT_EQ(reader_.Seek(10), 10);
  EXPECT_EQ(reader_.Seek(11), -1);
  EXPECT_EQ(reader_.Seek(-1), -1);
  EXPECT_EQ(reader_.position(), 10u);
  reader_.Close();
  EXPECT_EQ(reader_.Read(got.data(), 1), -1);
  EXPECT_EQ(reader_.Seek(0), -1);
}

TEST_F(RiffReaderTest, OpensCaseInsensitivelyAndRefusesMissingFilesAndFolders) {
  folder_.Write("Sound.WAV", Counting(4));
  EXPECT_TRUE(reader_.Open(folder_.path() + "/SOUND.wav"));
  EXPECT_FALSE(reader_.Open(folder_.path() + "/other.wav"));
  EXPECT_FALSE(reader_.is_open());
  EXPECT_FALSE(reader_.Open(folder_.path()));
}

}  // namespace
