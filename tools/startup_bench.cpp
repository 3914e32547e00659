// How long the program takes from CreateProcess to its window showing with the start-up
// done, against a bare window with sixteen labels; alternating runs, medians, their ratio
// and the working sets, against their targets. The display mode is the one the code page of
// this process, and so of the programs it starts, gives.
// Usage: startup_bench QUORIN_EXE MINIMAL_EXE LIBRARY_DLL RUNS
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr double kRatioTarget = 1.05;
constexpr long long kSetTargetKiB = 512;

struct Sample {
  double milliseconds;
  SIZE_T workingSet;
};

// The process's visible window of that class, if it has one yet. One lookup by class: the
// polling competes with the starting program for the same system services, so it asks as
// little as it can.
HWND FindShown(DWORD processId, const wchar_t* className) {
  for (HWND hwnd = FindWindowExW(nullptr, nullptr, className, nullptr); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, className, nullptr)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == processId && IsWindowVisible(hwnd)) return hwnd;
  }
  return nullptr;
}

bool Run(const std::wstring& exe, const std::wstring& folder, const wchar_t* className,
         Sample& sample) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &info)) {
    return false;
  }
  HWND shown = nullptr;
  PROCESS_MEMORY_COUNTERS memory = {};
  bool ended = false;
  const ULONGLONG deadline = GetTickCount64() + 60000;
  while (!shown && !ended && GetTickCount64() < deadline) {
    shown = FindShown(info.dwProcessId, className);
    if (shown) {
      QueryPerformanceCounter(&now);
      // The working set once the window has painted and waits for input: a window shows
      // before it paints, and a font is loaded when it is first drawn with, so a look at once
      // would count what one of them had loaded before showing and not the other.
      WaitForInputIdle(info.hProcess, 10000);
      GetProcessMemoryInfo(info.hProcess, &memory, sizeof memory);
      PostMessageW(shown, WM_CLOSE, 0, 0);
    } else {
      ended = WaitForSingleObject(info.hProcess, 1) == WAIT_OBJECT_0;
    }
  }
  const bool exited = WaitForSingleObject(info.hProcess, 10000) == WAIT_OBJECT_0;
  DWORD exitCode = 0;
  GetExitCodeProcess(info.hProcess, &exitCode);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  // Let the system settle, so that the next start does not pay for this one's exit.
  Sleep(300);
  if (!shown) {
    if (ended) {
      std::fprintf(stderr, "%ls ended with exit code %lu before its window showed\n", exe.c_str(),
                   exitCode);
    } else {
      std::fprintf(stderr, "%ls showed no window within 60 seconds\n", exe.c_str());
    }
    return false;
  }
  if (!exited) {
    std::fprintf(stderr, "%ls was still running 10 seconds after it was told to close\n",
                 exe.c_str());
    return false;
  }
  sample = {1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart,
            memory.WorkingSetSize};
  return true;
}

// The value below which the given share of the values lie.
template <class T>
T Quantile(std::vector<T> values, double share) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5)];
}

template <class T>
T Median(const std::vector<T>& values) {
  return Quantile(values, 0.5);
}

std::wstring MakeFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + name;
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void Write(const std::wstring& path, const char* text) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: startup_bench QUORIN_EXE MINIMAL_EXE LIBRARY_DLL RUNS\n");
    return 2;
  }
  const int runs = std::max(1, _wtoi(argv[4]));
  const std::wstring program = MakeFolder(L"quorin-bench-program");
  CopyFileW(argv[1], (program + L"\\Quorin.exe").c_str(), FALSE);
  CopyFileW(argv[3], (program + L"\\TOVRAMIX.DLL").c_str(), FALSE);
  Write(program + L"\\Quorin.ini",
        "[Screen]\r\nWindowTitle=Support Information\r\nUseDB=true\r\nText1=Model #: \r\n"
        "Text2=Serial #: \r\nText3=Support ID #: \r\nText4=Software Build #: \r\n"
        "Text5=Product #: \r\nText6=Hardware BOM #: \r\nText7=Software BOM #: \r\n"
        "Text8=Service ID #: \r\nWidth=7000\r\n");
  Write(program + L"\\TOVRAMIX.ini",
        "[double]\r\nBuild=20203236313030\r\nPiece1=515837\r\nPiece3=4B562D3134\r\n"
        "Piece4=4B562D33463241\r\nPiece5=504E2D32303431\r\nPiece8=4842\r\nPiece9=53\r\n");
  const std::wstring minimal = MakeFolder(L"quorin-bench-minimal");
  CopyFileW(argv[2], (minimal + L"\\minimal.exe").c_str(), FALSE);

  std::vector<double> programTimes, minimalTimes;
  std::vector<SIZE_T> programMemory, minimalMemory;
  for (int i = 0; i < runs; ++i) {
    Sample sample;
    // Alternate which goes first, so that neither always starts on a warmer system.
    for (int turn = 0; turn < 2; ++turn) {
      const bool programTurn = (turn == 0) == (i % 2 == 0);
      const bool ok = programTurn
                          ? Run(program + L"\\Quorin.exe", program, L"FormKVInfo", sample)
                          : Run(minimal + L"\\minimal.exe", minimal, L"MinimalWindow", sample);
      if (!ok) return 1;
      (programTurn ? programTimes : minimalTimes).push_back(sample.milliseconds);
      (programTurn ? programMemory : minimalMemory).push_back(sample.workingSet);
    }
  }
  const double programMedian = Median(programTimes);
  const double minimalMedian = Median(minimalTimes);
  const double ratio = programMedian / minimalMedian;
  const long long setDifference = (static_cast<long long>(Median(programMemory)) -
                                   static_cast<long long>(Median(minimalMemory))) /
                                  1024;
  std::printf("%s mode (code page %u), %d runs each\n",
              GetACP() == 932 ? "double-byte" : "single-byte", GetACP(), runs);
  std::printf("  start-up median, program:  %.1f ms (middle half %.1f to %.1f)\n", programMedian,
              Quantile(programTimes, 0.25), Quantile(programTimes, 0.75));
  std::printf("  start-up median, minimal:  %.1f ms (middle half %.1f to %.1f)\n", minimalMedian,
              Quantile(minimalTimes, 0.25), Quantile(minimalTimes, 0.75));
  std::printf("  start-up ratio:            %.3f (target at most %.2f) %s\n", ratio, kRatioTarget,
              ratio <= kRatioTarget ? "met" : "MISSED");
  std::printf("  working set, program:      %lld KiB (minimal %lld KiB)\n",
              static_cast<long long>(Median(programMemory)) / 1024,
              static_cast<long long>(Median(minimalMemory)) / 1024);
  std::printf("  working set difference:    %lld KiB (target at most %lld) %s\n", setDifference,
              kSetTargetKiB, setDifference <= kSetTargetKiB ? "met" : "MISSED");
  return 0;
}
