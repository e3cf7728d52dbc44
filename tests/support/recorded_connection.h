// A test fixture whose process-wide connection is a recording transport with an encoder, as
// OpenPort would leave it; TearDown closes it with ClosePort.
#ifndef TALLYJET_TESTS_RECORDED_CONNECTION_H
#define TALLYJET_TESTS_RECORDED_CONNECTION_H

#include <gtest/gtest.h>

#include "connection.h"
#include "recording_transport.h"

class RecordedConnection : public ::testing::Test {
 protected:
  void SetUp() override {
    transport = new RecordingTransport;
    transport->Open("recorder");
    comm_ = transport;
    prot_ = new ProtEscPos(transport);
  }
  void TearDown() override { ClosePort(); }

  RecordingTransport* transport = nullptr;
};

#endif  // TALLYJET_TESTS_RECORDED_CONNECTION_H
