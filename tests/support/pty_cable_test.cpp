// The test cable carries every byte value both ways between the program's COM
// port and the register's side, and parallel cables never share a port.
#include "tests/support/pty_cable.h"

#include <gtest/gtest.h>

#include <string>

namespace {

HANDLE OpenProgramPort(int number) {
  const std::string name = "\\\\.\\COM" + std::to_string(number);
  HANDLE port = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  COMMTIMEOUTS timeouts{};
  timeouts.ReadTotalTimeoutConstant = 50;
  if (port != INVALID_HANDLE_VALUE) SetCommTimeouts(port, &timeouts);
  return port;
}

std::string ReadUpTo(HANDLE port, std::size_t count, DWORD timeoutMs) {
  std::string received;
  const DWORD start = GetTickCount();
  while (received.size() < count && GetTickCount() - start < timeoutMs) {
    char buffer[512];
    DWORD read = 0;
    if (!ReadFile(port, buffer, sizeof buffer, &read, nullptr)) break;
    received.append(buffer, read);
  }
  return received;
}

std::string EveryByteValue() {
  std::string bytes;
  for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
  return bytes;
}

}  // namespace

TEST(PtyCable, CarriesEveryByteValueBothWays) {
  test_support::PtyCable cable;
  HANDLE port = OpenProgramPort(cable.ProgramPort());
  ASSERT_NE(port, INVALID_HANDLE_VALUE) << GetLastError();
  const std::string bytes = EveryByteValue();

  cable.Send(bytes);
  EXPECT_EQ(ReadUpTo(port, bytes.size(), 5000), bytes);

  DWORD written = 0;
  ASSERT_TRUE(WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  EXPECT_EQ(cable.Receive(bytes.size(), 5000), bytes);
  CloseHandle(port);
}

TEST(PtyCable, ParallelCablesUseDifferentPortsAndAreUnmappedAfterwards) {
  int first = 0;
  {
    test_support::PtyCable one;
    test_support::PtyCable two;
    first = one.ProgramPort();
    EXPECT_NE(one.ProgramPort(), two.ProgramPort());
    one.Send("A");
    two.Send("B");
    HANDLE portOne = OpenProgramPort(one.ProgramPort());
    HANDLE portTwo = OpenProgramPort(two.ProgramPort());
    EXPECT_EQ(ReadUpTo(portOne, 1, 3000), "A");
    EXPECT_EQ(ReadUpTo(portTwo, 1, 3000), "B");
    CloseHandle(portOne);
    CloseHandle(portTwo);
  }
  HANDLE gone = OpenProgramPort(first);
  EXPECT_EQ(gone, INVALID_HANDLE_VALUE);
  if (gone != INVALID_HANDLE_VALUE) CloseHandle(gone);
}
