#include "app/win32/processes.h"

#include <windows.h>
// After windows.h.
#include <tlhelp32.h>

#include "text/win32/handle.h"

namespace tonvira {

std::optional<std::vector<RunningProcess>> WindowsProcessList::Snapshot() {
  FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return std::nullopt;
  std::vector<RunningProcess> processes;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    std::u16string name(entry.szExeFile,
                        entry.szExeFile + wcsnlen(entry.szExeFile, std::size(entry.szExeFile)));
    processes.push_back({std::move(name), entry.th32ProcessID});
  }
  return processes;
}

std::optional<uint32_t> WindowsProcessList::SessionOf(uint32_t processId) {
  DWORD session = 0;
  if (!ProcessIdToSessionId(processId, &session)) return std::nullopt;
  return session;
}

uint32_t WindowsProcessList::OwnProcessId() {
  return GetCurrentProcessId();
}

}  // namespace tonvira
