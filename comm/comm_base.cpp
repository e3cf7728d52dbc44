#include "comm_base.h"

CommBase::CommBase() : fd_(0) {}

// Calls the base Close, which does nothing: a transport closes itself in its own destructor.
CommBase::~CommBase() { CommBase::Close(); }

int CommBase::Open(int, int) { return TALLYJET_ERR_NOT_SUPPORTED; }

int CommBase::Open(const char*) { return TALLYJET_ERR_NOT_SUPPORTED; }

int CommBase::Close() { return TALLYJET_ERR_PORT_NOT_OPEN; }

bool CommBase::IsOpen() { return fd_ != 0; }

int CommBase::Write(const char*, int) { return TALLYJET_ERR_NOT_SUPPORTED; }

int CommBase::Read(char*, int) { return TALLYJET_ERR_NOT_SUPPORTED; }

int CommBase::GetDeviceVid() { return TALLYJET_ERR_NOT_SUPPORTED; }

int CommBase::GetDevicePid() { return TALLYJET_ERR_NOT_SUPPORTED; }

void CommBase::SetTimeout(int) {}

void CommBase::SetFlowControl(int) {}

int CommBase::SetPortSettings(int, char, int, int) { return TALLYJET_ERR_NOT_SUPPORTED; }
