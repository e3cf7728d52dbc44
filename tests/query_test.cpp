// The encoder's queries and the printer information entry point: requests, pauses and reads,
// and how each reads an answer that is short, missing or malformed.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "recorded_connection.h"

namespace {

using QueryTest = RecordedConnection;

// Without an answer the int keeps its value: 0 bytes is a failure, a read error its own code.
TEST_F(QueryTest, RealTimeStatusAsksOneByteAndStoresItUnsigned) {
  int status = -7;
  transport->AnswerCode(0);
  EXPECT_EQ(prot_->GetRealTimeStatus(1, &status), TALLYJET_ERR_FAILED);
  transport->AnswerCode(TALLYJET_ERR_SERIAL_TIMEOUT);
  EXPECT_EQ(prot_->GetRealTimeStatus(1, &status), TALLYJET_ERR_SERIAL_TIMEOUT);
  EXPECT_EQ(status, -7);
  transport->writes.clear();
  transport->Answer(Bytes({0xFE}));
  EXPECT_EQ(GetRealTimeStatus(6, &status), TALLYJET_SUCCESS);
  EXPECT_EQ(transport->writes, std::vector<std::string>{Bytes({0x10, 0x04, 0x06})});
  EXPECT_EQ(status, 254);
}

TEST_F(QueryTest, NullOutputIsRefusedEvenWithoutTransport) {
  ProtEscPos detached(nullptr);
  char id[16];
  for (ProtEscPos* encoder : {prot_, &detached}) {
    EXPECT_EQ(encoder->GetRealTimeStatus(1, nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(encoder->GetBufferSize(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(encoder->GetPrinterID(1, nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
    EXPECT_EQ(encoder->GetMemoryAvailabled(nullptr), TALLYJET_ERR_INVALID_ARGUMENT);
  }
  EXPECT_EQ(detached.GetPrinterID(1, id), TALLYJET_ERR_PORT_NOT_OPEN);
  EXPECT_TRUE(transport->writes.empty());
}

TEST_F(QueryTest, PrinterIdAnswersItsCountAndZeroesWhatWasNotSent) {
  char id[16];
  memset(id, 'x', sizeof id);
  EXPECT_EQ(prot_->GetPrinterID(0, id), TALLYJET_ERR_INVALID_ARGUMENT);
  EXPECT_EQ(prot_->GetPrinterID(4, id), TALLYJET_ERR_INVALID_ARGUMENT);
  transport->Answer("V1.02");
  EXPECT_EQ(prot_->GetPrinterID(3, id), 5);
  EXPECT_EQ(std::string(id, 16), std::string("V1.02") + std::string(11, '\0'));
  EXPECT_EQ(transport->writes, std::vector<std::string>{Bytes({0x1D, 0x49, 0x03})});
}

TEST_F(QueryTest, BufferSizeIsStoredOnlyWhenItsByteArrived) {
  int size = -7;
  transport->AnswerCode(0);
  EXPECT_EQ(prot_->GetBufferSize(&size), 0);
  EXPECT_EQ(size, -7);
  transport->Answer(Bytes({0xC8}));
  EXPECT_EQ(prot_->GetBufferSize(&size), 1);
  EXPECT_EQ(size, 200);
  EXPECT_EQ(transport->writes[0], Bytes({0x10, 0x04, 0x0B}));
}

TEST_F(QueryTest, MemoryAnswerIsHexadecimalAfterItsHeader) {
  const struct {
    std::string answer;
    int result;
    int bytes;
  } cases[] = {
      {Bytes({0x37, 0x31, 0x31, 0x46, 0x34, 0x30, 0x00}), TALLYJET_SUCCESS, 8000},
      {"71 0x1f40", TALLYJET_SUCCESS, 8000},
      {"7100000000001F40", TALLYJET_SUCCESS, 8000},  // 16 non-zero bytes, no NUL after them
      {"71" + std::string(14, 'F'), TALLYJET_ERR_FAILED, -7},             // does not fit an int
      {"717FFFFFFF", TALLYJET_SUCCESS, 0x7FFFFFFF},
      {"7180000000", TALLYJET_ERR_FAILED, -7},
      {"71", TALLYJET_SUCCESS, -7},  // no digits: the int keeps its value
      {Bytes({0x37, 0x30, 0x31}), TALLYJET_ERR_FAILED, -7},
      {"7", TALLYJET_ERR_FAILED, -7},
      {"", TALLYJET_ERR_FAILED, -7},
  };
  for (const auto& c : cases) {
    int bytes = -7;
    transport->Answer(c.answer);
    EXPECT_EQ(prot_->GetMemoryAvailabled(&bytes), c.result) << c.answer;
    EXPECT_EQ(bytes, c.bytes) << c.answer;
  }
  EXPECT_EQ(transport->writes[0], Bytes({0x1D, 0x28, 0x4C, 0x02, 0x00, 0x30, 0x33}));
}

TEST_F(QueryTest, PrinterInfoSignExtendsTheIdsAndCopiesTwelveVersionBytes) {
  transport->Answer(Bytes({0xA5, 0x11}));
  transport->Answer(Bytes({0x7F}));
  transport->Answer("ABCDEFGHIJKLMNOP");
  int info[6] = {1, 1, 1, 1, 1, 99};
  EXPECT_EQ(GetPrinterInfo(info), TALLYJET_SUCCESS);
  EXPECT_EQ(info[0], -91);
  EXPECT_EQ(info[1], 127);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(info + 2), 12), "ABCDEFGHIJKL");
  EXPECT_EQ(info[5], 99);
  EXPECT_EQ(transport->writes, (std::vector<std::string>{Bytes({0x1D, 0x49, 0x01}),
                                                          Bytes({0x1D, 0x49, 0x02}),
                                                          Bytes({0x1D, 0x49, 0x03})}));
}

TEST_F(QueryTest, PrinterInfoShortAndMissingAnswersLeaveZeros) {
  transport->AnswerCode(0);
  transport->Answer(Bytes({0x02}));
  transport->Answer("V1");
  int info[5] = {1, 1, 1, 1, 1};
  EXPECT_EQ(GetPrinterInfo(info), TALLYJET_SUCCESS);
  EXPECT_EQ(info[0], 0);
  EXPECT_EQ(info[1], 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(info + 2), 12),
            std::string("V1") + std::string(10, '\0'));

  // A failed query stops there; what earlier queries filled stays.
  transport->Answer(Bytes({0x05}));
  transport->AnswerCode(TALLYJET_ERR_READ);
  EXPECT_EQ(GetPrinterInfo(info), TALLYJET_ERR_READ);
  EXPECT_EQ(info[0], 5);
  EXPECT_EQ(info[1], 0);
  EXPECT_EQ(transport->writes.size(), 5u);
}

}  // namespace
