// The WinHTTP transport in the driver's own process, with part writes the case can hold: a
// stop returns at once while one worker is inside a write that does not return and another
// waits on a server that sends nothing more; the parts keep what arrived, and a resume right
// after the stop completes both files. A cancel put just before a resume's Content-Range is
// read (through the driver's own import of WinHttpQueryHeaders) keeps the part.
#include <atomic>
#include <memory>
#include <string>

#include "download/file_names.h"
#include "download_driver.h"
#include "win32/download_folder_win32.h"
#include "win32/http_transfer_win32.h"
#include "win32/part_file_win32.h"

#include <winhttp.h>  // after windows.h (driver.h)

namespace velnor::e2e {
namespace {

// The system's writes, except that while held the next one waits until it is let go.
class HeldWrites : public PartWrites {
 public:
  HeldWrites() : entered_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), released_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
  ~HeldWrites() override {
    Let();
    CloseHandle(entered_);
    CloseHandle(released_);
  }
  void Hold() { ResetEvent(released_); }
  void Let() { SetEvent(released_); }
  bool Entered(DWORD ms) const { return WaitForSingleObject(entered_, ms) == WAIT_OBJECT_0; }
  bool Write(HANDLE file, const void* data, DWORD size) override {
    SetEvent(entered_);
    WaitForSingleObject(released_, INFINITE);
    DWORD done = 0;
    return WriteFile(file, data, size, &done, nullptr) && done == size;
  }

 private:
  HANDLE entered_;
  HANDLE released_;
};

// The driver's own imported WinHttpQueryHeaders (the transport is linked into it) pointed at
// `to`; returns what it pointed at, nothing when it is not imported.
void* SwapQueryHeaders(void* to) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  const HMODULE winhttp = GetModuleHandleW(L"winhttp.dll");
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name != 0; ++d) {
    if (GetModuleHandleA(reinterpret_cast<const char*>(base + d->Name)) != winhttp) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; thunk->u1.Function != 0; ++thunk, ++names) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) ||
          lstrcmpA(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, "WinHttpQueryHeaders") != 0) {
        continue;
      }
      void* const was = reinterpret_cast<void*>(thunk->u1.Function);
      DWORD protection = 0;
      VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, PAGE_READWRITE, &protection);
      thunk->u1.Function = reinterpret_cast<ULONG_PTR>(to);
      VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, protection, &protection);
      return was;
    }
  }
  return nullptr;
}

using QueryHeaders = BOOL(WINAPI*)(HINTERNET, DWORD, LPCWSTR, LPVOID, LPDWORD, LPDWORD);
QueryHeaders realQueryHeaders = nullptr;
std::atomic<WinHttpTransfer*> cancelOnContentRange{nullptr};

// The first read of a Content-Range is preceded by a stop of every transfer, on the worker.
BOOL WINAPI CancelFirst(HINTERNET request, DWORD query, LPCWSTR name, LPVOID buffer, LPDWORD bytes, LPDWORD index) {
  if (query == WINHTTP_QUERY_CONTENT_RANGE) {
    if (WinHttpTransfer* transfer = cancelOnContentRange.exchange(nullptr)) transfer->CancelAll();
  }
  return realQueryHeaders(request, query, name, buffer, bytes, index);
}

// Milliseconds a call takes.
template <typename Call>
DWORD Timed(Call call) {
  const DWORD start = GetTickCount();
  call();
  return GetTickCount() - start;
}

}  // namespace

E2E_CASE(transport_stop_never_waits) {
  const std::wstring caseFolder = CaseFolder(ctx);
  Server server(caseFolder);
  E2E_REQUIRE(server.started());
  const std::wstring folder = caseFolder + L"\\dl";
  CreateDirectoryW(folder.c_str(), nullptr);
  RemoveFilesInFolder(folder);
  const std::string large = FileBytes(1, 1000000), slow = FileBytes(2, 200000);
  WriteFileContent(server.root() + L"\\large.bin", large);
  WriteFileContent(server.root() + L"\\slow.bin", slow);
  const String dl = ToString(folder);
  auto request = [&](int item, const char16_t* path, uint64_t resumeFrom) {
    TransferRequest r;
    r.item = item;
    r.url = server.base() + path;
    r.finalPath = dl + u"\\" + DownloadFileName(r.url);
    r.partPath = r.finalPath + String(kPartSuffix);
    r.resumeFrom = resumeFrom;
    return r;
  };
  Win32DownloadFolder listing;
  E2E_REQUIRE(listing.CreateFolder(dl));
  HeldWrites writes;
  writes.Hold();
  auto transfer = std::make_unique<WinHttpTransfer>(nullptr, listing, writes);
  transfer->SetConnections(2);
  transfer->Start(request(0, u"files/large.bin", 0));
  transfer->Start(request(1, u"slow/slow.bin", 0));
  // One worker inside a write that does not return, the other waiting on the network once
  // its 16 KB arrived (its progress shows the first of them; the rest follow on loopback).
  E2E_REQUIRE(writes.Entered(10000));
  bool slowArrived = false;
  WaitUntil([&] {
    for (const TransferProgress& p : transfer->TakeNotes().progress) slowArrived |= p.item == 1 && p.bytes > 0;
    return slowArrived;
  }, 10000);
  E2E_REQUIRE(slowArrived);
  Sleep(200);

  ctx.SetScope("stop and close return at once");
  const DWORD stopMs = Timed([&] { transfer->CancelAll(); });
  const std::vector<TransferResult> results = transfer->TakeNotes().results;
  const DWORD closeMs = Timed([&] { transfer.reset(); });
  if (stopMs >= 100 || closeMs >= 100) {
    ctx.Fail(__FILE__, __LINE__, "stop took " + std::to_string(stopMs) + " ms, close " + std::to_string(closeMs) + " ms");
  }
  E2E_REQUIRE(results.size() == 2u);
  uint64_t kept[2] = {};
  for (const TransferResult& result : results) {
    E2E_CHECK(result.outcome == TransferOutcome::kCancelled);
    kept[result.item] = result.partSize;
  }

  ctx.SetScope("the parts keep what arrived, once the writes return");
  E2E_CHECK(kept[0] == 65536 && kept[1] > 0);
  writes.Let();
  E2E_CHECK(WaitUntil([&] { return FileContent(folder + L"\\slow.bin.part") == slow.substr(0, kept[1]); }, 2000));
  E2E_CHECK(WaitUntil([&] { return FileContent(folder + L"\\large.bin.part") == large.substr(0, kept[0]); }, 5000));

  ctx.SetScope("resume right after");
  WinHttpTransfer again(nullptr, listing);
  again.SetConnections(2);
  again.Start(request(0, u"files/large.bin", kept[0]));
  again.Start(request(1, u"files/slow.bin", kept[1]));
  std::vector<TransferResult> ends;
  WaitUntil([&] {
    for (const TransferResult& r : again.TakeNotes().results) ends.push_back(r);
    return ends.size() == 2;
  }, 20000);
  E2E_CHECK_EQ(ends.size(), 2u);
  for (const TransferResult& result : ends) E2E_CHECK(result.outcome == TransferOutcome::kComplete);
  E2E_CHECK(FileContent(folder + L"\\large.bin") == large);
  E2E_CHECK(FileContent(folder + L"\\slow.bin") == slow);
  E2E_CHECK_EQ(FilesInFolder(folder), (std::vector<std::wstring>{L"large.bin", L"slow.bin"}));
}

// A part being resumed is the user's: a cancel that closes the request between the answer's
// status and its Content-Range (the header then reads as missing) leaves it with all it held;
// a part removed while its resume waits for the answer is not made up from zeros: the file is
// fetched whole.
E2E_CASE(transport_parts_kept_as_they_are) {
  const std::wstring caseFolder = CaseFolder(ctx);
  Server server(caseFolder);
  E2E_REQUIRE(server.started());
  const std::wstring folder = caseFolder + L"\\dl";
  CreateDirectoryW(folder.c_str(), nullptr);
  RemoveFilesInFolder(folder);
  const String dl = ToString(folder);
  Win32DownloadFolder listing;
  E2E_REQUIRE(listing.CreateFolder(dl));
  const std::string whole = FileBytes(3, 300000);
  constexpr size_t kHeld = 100000;
  auto request = [&](const String& path) {
    TransferRequest r;
    r.url = server.base() + path;
    r.finalPath = dl + u"\\" + DownloadFileName(r.url);
    r.partPath = r.finalPath + String(kPartSuffix);
    r.resumeFrom = kHeld;
    return r;
  };

  ctx.SetScope("a cancel between the status and the Content-Range");
  WriteFileContent(server.root() + L"\\c.bin", whole);
  WriteFileContent(folder + L"\\c.bin.part", whole.substr(0, kHeld));
  {
    WinHttpTransfer cancelled(nullptr, listing);
    cancelOnContentRange = &cancelled;
    realQueryHeaders = reinterpret_cast<QueryHeaders>(SwapQueryHeaders(reinterpret_cast<void*>(CancelFirst)));
    E2E_REQUIRE(realQueryHeaders != nullptr);
    cancelled.Start(request(u"files/c.bin"));
    E2E_CHECK(WaitUntil([] { return cancelOnContentRange == nullptr; }, 10000));  // asked for it
    Sleep(500);  // the worker goes on with what it read
    SwapQueryHeaders(reinterpret_cast<void*>(realQueryHeaders));
  }
  E2E_CHECK(FileContent(folder + L"\\c.bin.part") == whole.substr(0, kHeld));

  ctx.SetScope("the part removed while the resume waits");
  WriteFileContent(server.root() + L"\\gone.bin", whole);
  WriteFileContent(folder + L"\\gone.bin.part", whole.substr(0, kHeld));
  WinHttpTransfer transfer(nullptr, listing);
  transfer.Start(request(u"late/gone.bin"));
  E2E_REQUIRE(WaitUntil([&] { return !server.Requests("/late/gone.bin").empty(); }, 10000));
  E2E_REQUIRE(DeleteFileW((folder + L"\\gone.bin.part").c_str()));
  std::vector<TransferResult> ends;
  WaitUntil([&] {
    for (const TransferResult& r : transfer.TakeNotes().results) ends.push_back(r);
    return !ends.empty();
  }, 20000);
  E2E_REQUIRE(ends.size() == 1u);
  E2E_CHECK(ends[0].outcome == TransferOutcome::kComplete);
  E2E_CHECK(FileContent(folder + L"\\gone.bin") == whole);
  E2E_CHECK_EQ(server.Requests("/late/gone.bin").size(), 2u);  // the resume, then the whole file
}

}  // namespace velnor::e2e
