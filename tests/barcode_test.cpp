// Barcodes and QR codes: the length each system accepts, the barcode settings, the entry point's
// argument checks and what it has sent when it stops, and the QR data count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recorded_connection.h"

namespace {

std::string Header(int m, int n) { return Bytes({0x1D, 0x6B, m, n}); }

using BarCodeTest = RecordedConnection;

TEST_F(BarCodeTest, EachSystemTakesOnlyItsLengths) {
  const struct {
    int m;
    int accepted[3];
    int refused[3];
  } cases[] = {
      {65, {11, 12, 12}, {10, 13, 0}},   // UPC-A
      {66, {6, 6, 6}, {5, 7, 0}},        // UPC-E
      {67, {12, 13, 13}, {11, 14, 0}},   // JAN13
      {68, {7, 8, 8}, {6, 9, 0}},        // JAN8
      {69, {1, 2, 255}, {0, 256, -1}},   // CODE39
      {70, {2, 10, 254}, {9, 255, 0}},   // ITF: even only
      {71, {1, 100, 255}, {0, 256, -1}},  // CODABAR
      {72, {1, 100, 255}, {0, 256, -1}},  // CODE93
      {73, {2, 3, 255}, {1, 256, 0}},    // CODE128
      {64, {}, {1, 6, 11}},
      {74, {}, {1, 6, 11}},
  };
  const std::string data(300, '7');
  for (const auto& c : cases) {
    for (int n : c.accepted) {
      if (n == 0) continue;
      transport->writes.clear();
      EXPECT_EQ(prot_->PrintBarCode(c.m, data.c_str(), n), TALLYJET_SUCCESS) << c.m << " " << n;
      EXPECT_EQ(transport->writes, Writes{Header(c.m, n) + data.substr(0, n)}) << c.m;
    }
    transport->writes.clear();
    for (int n : c.refused) {
      EXPECT_EQ(prot_->PrintBarCode(c.m, data.c_str(), n), TALLYJET_ERR_INVALID_ARGUMENT)
          << c.m << " " << n;
    }
    EXPECT_TRUE(transport->writes.empty()) << c.m;
  }
  EXPECT_EQ(prot_->PrintBarCode(69, nullptr, 5), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_TRUE(transport->writes.empty());
}

// The settings only PrintBarCode sends; the widths it takes, 2 and 6, are in its own test below.
TEST_F(BarCodeTest, HeightAndModuleWidthSendTheirBytesOrRefuse) {
  EXPECT_EQ(prot_->SetBarCodeHeight(0), TALLYJET_SUCCESS);
  EXPECT_EQ(prot_->SetBarCodeHeight(256), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(prot_->SetBarCodeWidth(1), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(prot_->SetBarCodeWidth(7), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(transport->writes, Writes{Bytes({0x1D, 0x68, 0x00})});
}

TEST_F(BarCodeTest, QrDataCountHoldsLengthPlusThreeUpToItsTwoBytes) {
  const struct {
    int len;
    int pL;
    int pH;
  } cases[] = {{1, 0x04, 0x00}, {252, 0xFF, 0x00}, {253, 0x00, 0x01}, {65532, 0xFF, 0xFF}};
  std::string data(65533, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  for (const auto& c : cases) {
    transport->writes.clear();
    EXPECT_EQ(StoreQrCodeData(&data[0], c.len), TALLYJET_SUCCESS) << c.len;
    ASSERT_EQ(transport->writes.size(), 1u);
    EXPECT_EQ(transport->writes[0],
              Bytes({0x1D, 0x28, 0x6B, c.pL, c.pH, 0x31, 0x50, 0x30}) + data.substr(0, c.len));
  }
  transport->writes.clear();
  for (int len : {65533, 0x7FFFFFFF}) {
    EXPECT_EQ(StoreQrCodeData(&data[0], len), TALLYJET_ERR_INVALID_ARGUMENT) << len;
  }
  EXPECT_EQ(StoreQrCodeData(nullptr, 5), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_TRUE(transport->writes.empty());
}

// The five settings of the entry point's example call, each in its own write.
const Writes kExampleSettings = {Bytes({0x1D, 0x68, 0x64}), Bytes({0x1D, 0x77, 0x03}),
                                 Bytes({0x1D, 0x4C, 0x00, 0x00}), Bytes({0x1D, 0x66, 0x00}),
                                 Bytes({0x1D, 0x48, 0x02})};

Writes FirstOf(const Writes& writes, size_t count) {
  return Writes(writes.begin(), writes.begin() + static_cast<long>(count));
}

const std::string kLong(300, 'A');  // cut at 255 bytes

TEST_F(BarCodeTest, SendsTheSettingsThenTheBarcodeOrStopsAtABadArgument) {
  const struct {
    int type, height, width, leftMargin, hriPosition, hriFont;
    const char* data;
    int result;
    size_t settingsSent;  // how many of the example's settings went out, or where last stands
    std::string last;     // the write of the six sent that differs from the example
  } cases[] = {
      {65, 100, 1, 0, 2, 0, "01234567890", 1, 5, Header(0x41, 11) + "01234567890"},
      {65, 100, 0, 0, 2, 0, "01234567890", 1, 1, Bytes({0x1D, 0x77, 0x02})},
      {65, 100, 2, 0, 2, 0, "01234567890", 1, 1, Bytes({0x1D, 0x77, 0x06})},
      {65, 100, 3, 0, 2, 0, "01234567890", -3, 0, ""},
      {65, 100, -1, 0, 2, 0, "01234567890", -3, 0, ""},
      {90, 100, 1, 0, 2, 0, "01234567890", -2, 0, ""},
      {128, 100, 1, 0, 2, 0, "01234567890", -2, 0, ""},
      {73, 255, 1, 0, 2, 0, "01234567890", 1, 0, Bytes({0x1D, 0x68, 0xFF})},
      {74, 100, 1, 0, 2, 0, "01234567890", -3, 0, ""},
      {64, 100, 1, 0, 2, 0, "01234567890", -3, 0, ""},
      {65, 0, 1, 0, 2, 0, "01234567890", -3, 0, ""},
      {65, 256, 1, 0, 2, 0, "01234567890", -3, 0, ""},
      {65, 100, 1, 0, 4, 0, "01234567890", -3, 0, ""},
      {65, 100, 1, 0, 2, 2, "01234567890", -3, 0, ""},
      {65, 100, 1, 48, 2, 0, "01234567890", -3, 2, ""},  // the margin is checked when due
      {65, 100, 1, 0, 2, 0, "0123456789", -3, 5, ""},  // so is the data length
      {69, 100, 1, 0, 2, 0, kLong.c_str(), 1, 5, Header(0x45, 0xFF) + kLong.substr(0, 255)},
  };
  for (const auto& c : cases) {
    transport->writes.clear();
    EXPECT_EQ(PrintBarCode(c.type, c.height, c.width, c.leftMargin, c.hriPosition, c.hriFont,
                           c.data),
              c.result)
        << c.type << " " << c.width << " " << c.leftMargin;
    if (c.last.empty()) {
      EXPECT_EQ(transport->writes, FirstOf(kExampleSettings, c.settingsSent)) << c.type;
    } else {
      ASSERT_EQ(transport->writes.size(), 6u);
      Writes expected = kExampleSettings;
      expected.push_back(transport->writes[5]);
      expected[c.settingsSent] = c.last;
      EXPECT_EQ(transport->writes, expected) << c.type;
    }
  }
}

TEST_F(BarCodeTest, FailedSettingStopsTheRest) {
  transport->FailWrite(3, TALLYJET_ERR_FAILED);
  EXPECT_EQ(PrintBarCode(65, 100, 1, 0, 2, 0, "01234567890"), TALLYJET_ERR_FAILED);
  EXPECT_EQ(transport->writes, FirstOf(kExampleSettings, 4));
}

}  // namespace
