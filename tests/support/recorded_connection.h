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

#endif  // TALLYJET_TESTS_RECORDED_CONNECTION_H
