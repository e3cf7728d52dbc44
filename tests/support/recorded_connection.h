// Test fixtures over a recording transport: an encoder of its own, or the process-wide
// connection.
#ifndef TALLYJET_TESTS_RECORDED_CONNECTION_H
#define TALLYJET_TESTS_RECORDED_CONNECTION_H

#include <gtest/gtest.h>

#include "connection.h"
#include "recording_transport.h"

// A table row's call, as text for the failure message and as the code that runs it.
#define CALL(call) #call, [] { return call; }

// An encoder that writes to its own recording transport.
class RecordedEncoder : public ::testing::Test {
 protected:
  RecordingTransport* transport = new RecordingTransport;
  ProtEscPos encoder{transport};
};

// Makes the process-wide connection an opened recording transport, with an encoder when asked,
// as OpenPort would leave it.
inline RecordingTransport* ConnectRecorder(bool withEncoder = true) {
  auto* transport = new RecordingTransport;
  transport->Open("recorder");
  comm_ = transport;
  if (withEncoder) prot_ = new ProtEscPos(transport);
  return transport;
}

// The process-wide connection on a recording transport; TearDown closes it with ClosePort.
class RecordedConnection : public ::testing::Test {
 protected:
  void SetUp() override { transport = ConnectRecorder(); }
  void TearDown() override { ClosePort(); }

  RecordingTransport* transport = nullptr;
};

// A printer handle on an application's link played by recorder, which the handle does not own:
// each write the handle makes is recorded as one unit and each read is answered from the script.
// The recorder holds no input that nobody asked for, so a read that only looks (time-out 0)
// finds nothing.
inline tallyjet_printer* OpenOnRecorder(RecordingTransport* recorder) {
  static const tallyjet_transport kRecorderLink = {
      [](void* context, const char* data, int length) {
        const int rc = static_cast<RecordingTransport*>(context)->Write(data, length);
        return rc == TALLYJET_SUCCESS ? length : rc;
      },
      [](void* context, char* buffer, int length, int timeoutMs) {
        if (timeoutMs == 0) return 0;
        return static_cast<RecordingTransport*>(context)->Read(buffer, length);
      },
      nullptr,
  };
  recorder->Open("recorder");
  tallyjet_printer* printer = nullptr;
  EXPECT_EQ(tallyjet_open_transport(&kRecorderLink, recorder, &printer), TALLYJET_SUCCESS);
  return printer;
}

#endif  // TALLYJET_TESTS_RECORDED_CONNECTION_H
