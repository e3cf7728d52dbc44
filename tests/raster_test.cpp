// Raster bit images in bands paced by the printer's fill level, column bit images and the NV
// graphic definition, as the bytes a recording printer receives.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "raster_bands.h"
#include "raster_pacing.h"
#include "recorded_connection.h"

namespace {

// Raster data whose every row differs from its neighbours, so that a band cut in the wrong
// place or taken from the wrong offset shows.
std::string Pattern(size_t size) {
  std::string data(size, '\0');
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 31 + i / 7);
  return data;
}

const unsigned char* Raw(const std::string& data) {
  return reinterpret_cast<const unsigned char*>(data.data());
}

class RasterTest : public RecordedEncoder {
 protected:
  // The printer answers these fill levels to the next queries.
  void Levels(std::initializer_list<int> levels) {
    for (int level : levels) transport->Answer(Bytes({level}));
  }

  // The writes after the fill-level queries, which must each stand before a band.
  Writes Bands() const {
    Writes bands;
    for (const std::string& write : transport->writes) {
      if (write != kFillQuery) bands.push_back(write);
    }
    return bands;
  }
};

TEST_F(RasterTest, EmptyOrRefusedPictureAsksAndSendsNothing) {
  const std::string data = Pattern(6001 * 8);
  struct Case {
    int mode, width, height;
    const unsigned char* data;
    int result;  // 0: nothing to print
  };
  const int kRefused = TALLYJET_ERR_INVALID_ARGUMENT;
  const Case cases[] = {
      {0, 7, 100, Raw(data), 0},          {0, 576, 0, Raw(data), 0},
      {-1, 576, 10, Raw(data), kRefused}, {0, -8, 10, Raw(data), kRefused},
      {0, 576, -1, Raw(data), kRefused},  {0, 576, 10, nullptr, kRefused},
      {0, 6001 * 8, 1, Raw(data), kRefused},  // one row longer than the printer's receive buffer
      {0, 80000, 30000000, Raw(data), kRefused},  // 10 000 bytes per row times 3e7 rows overflows
  };
  for (const Case& c : cases) {
    EXPECT_EQ(encoder.PrintRasterBitImage(c.mode, c.width, c.height, c.data), c.result)
        << c.mode << " " << c.width << "x" << c.height;
  }
  EXPECT_TRUE(transport->writes.empty());
  EXPECT_EQ(transport->reads, 0);
  ProtEscPos unconnected(nullptr);
  EXPECT_EQ(unconnected.PrintRasterBitImage(0, 576, 10, Raw(data)), TALLYJET_ERR_PORT_NOT_OPEN);
}

// Each band follows the fill-level queries that found room for it and holds at most 83 rows and
// 6000 bytes; a row is the whole bytes of its width, and the row length travels low byte first.
TEST_F(RasterTest, BandsFitTheReceiveBufferAndWaitUntilThePrinterHasRoom) {
  struct Band {
    int queries;
    int rows;
  };
  struct Case {
    int mode, width, bytesPerRow, height;
    std::initializer_list<int> levels;
    std::vector<Band> bands;
  };
  const Case cases[] = {
      {0, 12, 1, 10, {0}, {{1, 10}}},
      {3, 16, 2, 1, {0}, {{1, 1}}},
      {0, 576, 72, 34, {50}, {{1, 34}}},          // 2448 bytes fit in 3000
      {0, 576, 72, 83, {1, 0}, {{2, 83}}},        // 5940 free: 36 too few
      {0, 576, 72, 83, {101, 255, 0}, {{3, 83}}},  // above 100 there is no room at all
      {0, 576, 72, 200, {0, 0, 0}, {{1, 83}, {1, 83}, {1, 34}}},
      {0, 584, 73, 83, {0, 0}, {{1, 82}, {1, 1}}},
      {0, 400, 50, 100, {0, 0}, {{1, 83}, {1, 17}}},
      {0, 48000, 6000, 2, {0, 0}, {{1, 1}, {1, 1}}},
  };
  for (const Case& c : cases) {
    transport->writes.clear();
    const std::string data = Pattern(static_cast<size_t>(c.bytesPerRow * c.height));
    Levels(c.levels);
    EXPECT_EQ(encoder.PrintRasterBitImage(c.mode, c.width, c.height, Raw(data)), TALLYJET_SUCCESS);
    Writes expected;
    size_t offset = 0;
    for (const Band& band : c.bands) {
      expected.insert(expected.end(), static_cast<size_t>(band.queries), kFillQuery);
      const size_t size = static_cast<size_t>(band.rows * c.bytesPerRow);
      expected.push_back(Bytes({0x1D, 0x76, 0x30, c.mode, c.bytesPerRow & 0xFF,
                                c.bytesPerRow >> 8, band.rows, 0x00}) +
                         data.substr(offset, size));
      offset += size;
    }
    EXPECT_EQ(transport->writes, expected) << c.width << "x" << c.height;
  }
}

// Without the fill-level query the printer must still get exactly the paced bands, and not be
// asked anything: a read on a flow-controlled line would only wait for an answer never asked.
TEST_F(RasterTest, FlowControlledBandsAreThePacedBandsWithoutQueries) {
  const std::string data = Pattern(72 * 200);
  Levels({0, 0, 0});
  ASSERT_EQ(encoder.PrintRasterBitImage(0, 576, 200, Raw(data)), TALLYJET_SUCCESS);
  const Writes paced = Bands();
  transport->writes.clear();
  const int readsBefore = transport->reads;
  EXPECT_EQ(encoder.PrintRasterBands(0, 576, 200, Raw(data)), TALLYJET_SUCCESS);
  EXPECT_EQ(transport->writes, paced);
  EXPECT_EQ(transport->reads, readsBefore);
  EXPECT_EQ(encoder.PrintRasterBands(4, 576, 200, Raw(data)), TALLYJET_ERR_INVALID_ARGUMENT);
}

// A clock that moves six seconds on at every reading.
std::chrono::steady_clock::time_point SixSecondsPerReading() {
  static std::chrono::steady_clock::time_point now;
  now += std::chrono::seconds(6);
  return now;
}

// A failed band, or a printer that stays silent until the give-up time, ends the picture as a
// failure, not as "nothing to print" (0). A silent query is asked again, and the one after it
// first waits for the late answer: one read more.
TEST_F(RasterTest, FailedBandOrPrinterSilentPastTheGiveUpTimeEndsThePicture) {
  const std::string data = Pattern(72 * 200);
  Levels({0, 0});
  transport->FailWrite(3, TALLYJET_ERR_FAILED);  // query, band, query, the second band
  EXPECT_EQ(encoder.PrintRasterBitImage(0, 576, 200, Raw(data)), TALLYJET_ERR_FAILED);
  EXPECT_EQ(transport->writes.size(), 4u);
  transport->writes.clear();
  transport->FailWrite(-1, 0);
  Levels({0});  // then no byte comes
  const int readsBefore = transport->reads;
  escpos::SetPacingClock(SixSecondsPerReading);
  EXPECT_EQ(encoder.PrintRasterBitImage(0, 576, 200, Raw(data)), TALLYJET_ERR_FAILED);
  escpos::SetPacingClock(nullptr);
  EXPECT_EQ(transport->writes.size(), 4u);  // query, band, query at 0 s and at 6 s
  EXPECT_EQ(transport->reads - readsBefore, 4);
}

// An answer that comes after the read time-out is not the printer's last word: the query is
// asked again, the late answer (here "full") is dropped, and the fresh answer paces the band.
TEST_F(RasterTest, LateFillLevelIsDroppedAndAskedAgain) {
  const std::string data = Pattern(72 * 100);
  Levels({0});
  transport->AnswerCode(0);  // the second band's query: no answer in time
  Levels({100});             // its answer, late
  Levels({0});               // the answer to the query asked again
  EXPECT_EQ(encoder.PrintRasterBitImage(0, 576, 100, Raw(data)), TALLYJET_SUCCESS);
  EXPECT_EQ(Bands().size(), 2u);
  EXPECT_EQ(transport->writes.size(), 5u);  // query, band, query, query, band
}

TEST_F(RasterTest, PrinterThatNeverFreesRoomIsGivenUpAfterTenSeconds) {
  const std::string data = Pattern(72 * 10);
  for (int i = 0; i < 10; ++i) Levels({100});
  escpos::SetPacingClock(SixSecondsPerReading);
  EXPECT_EQ(encoder.PrintRasterBitImage(0, 576, 10, Raw(data)), TALLYJET_ERR_FAILED);
  escpos::SetPacingClock(nullptr);
  EXPECT_TRUE(Bands().empty());
  EXPECT_EQ(transport->reads, 2);  // asked at 0 s and 6 s, given up at 12 s
}

TEST_F(RasterTest, BitImageColumnCountFollowsTheModeWithinTwoBytes) {
  const std::string data = Pattern(3 * 65536);
  struct Case {
    int mode, length, result;
    std::string header;
  };
  const Case cases[] = {
      {1, 0, TALLYJET_SUCCESS, Bytes({0x1B, 0x2A, 0x01, 0x00, 0x00})},
      {1, 65535, TALLYJET_SUCCESS, Bytes({0x1B, 0x2A, 0x01, 0xFF, 0xFF})},
      {1, 65536, TALLYJET_ERR_INVALID_ARGUMENT, ""},
      {33, 9, TALLYJET_SUCCESS, Bytes({0x1B, 0x2A, 0x21, 0x03, 0x00})},
      {33, 10, TALLYJET_ERR_INVALID_ARGUMENT, ""},
      {33, 3 * 65535, TALLYJET_SUCCESS, Bytes({0x1B, 0x2A, 0x21, 0xFF, 0xFF})},
      {33, 3 * 65536, TALLYJET_ERR_INVALID_ARGUMENT, ""},
      {0, 3, TALLYJET_ERR_NOT_SUPPORTED, ""},
      {32, 3, TALLYJET_ERR_NOT_SUPPORTED, ""},
      {2, 3, TALLYJET_ERR_INVALID_ARGUMENT, ""},
      {1, -1, TALLYJET_ERR_INVALID_ARGUMENT, ""},
  };
  for (const Case& c : cases) {
    transport->writes.clear();
    EXPECT_EQ(encoder.SetBitImageMode(c.mode, Raw(data), c.length), c.result)
        << c.mode << "/" << c.length;
    const Writes expected =
        c.header.empty() ? Writes{} : Writes{c.header + data.substr(0, c.length)};
    EXPECT_EQ(transport->writes, expected) << c.mode << "/" << c.length;
  }
}

TEST_F(RasterTest, StoredGraphicCarriesSizeKeyCodesAndA32BitLengthOrIsRefused) {
  const std::string data = Pattern(256 * 300);
  struct Case {
    int width, height, kc1;
    std::string header;  // empty: refused, nothing sent
  };
  const Case cases[] = {
      {0, 0, 0x141, Bytes({0x1D, 0x38, 0x4C, 0x0B, 0x00, 0x00, 0x00, 0x30, 0x43, 0x30, 0x41, 0x31,
                           0x01, 0x00, 0x00, 0x00, 0x00, 0x31})},
      // 256 bytes per row x 300 rows + 11 = 76 811 = 0x012C0B
      {2048, 300, 0x41, Bytes({0x1D, 0x38, 0x4C, 0x0B, 0x2C, 0x01, 0x00, 0x30, 0x43, 0x30, 0x41,
                               0x31, 0x01, 0x00, 0x08, 0x2C, 0x01, 0x31})},
      {65535, 1, 0x41, Bytes({0x1D, 0x38, 0x4C, 0x0B, 0x20, 0x00, 0x00, 0x30, 0x43, 0x30, 0x41,
                              0x31, 0x01, 0xFF, 0xFF, 0x01, 0x00, 0x31})},
      {-1, 2, 0x41, ""}, {9, -1, 0x41, ""}, {65536, 1, 0x41, ""}, {8, 65536, 0x41, ""},
  };
  for (const Case& c : cases) {
    transport->writes.clear();
    const int expected = c.header.empty() ? TALLYJET_ERR_INVALID_ARGUMENT : TALLYJET_SUCCESS;
    EXPECT_EQ(encoder.SaveGraphic(c.width, c.height, Raw(data), c.kc1, 0x31), expected)
        << c.width << "x" << c.height;
    const size_t length = static_cast<size_t>((c.width + 7) / 8 * c.height);
    EXPECT_EQ(transport->writes,
              c.header.empty() ? Writes{} : Writes{c.header + data.substr(0, length)})
        << c.width << "x" << c.height;
  }
}

}  // namespace
