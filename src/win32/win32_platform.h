#pragma once

#include <windows.h>

#include <string>

#include "core/ports.h"
#include "win32/handles.h"

namespace kv::win32 {

class Win32Platform : public Platform {
 public:
  // Message boxes are owned by this window once it shows; the application title starts as
  // given.
  Win32Platform(HWND owner, std::wstring appTitle)
      : owner_(owner), appTitle_(std::move(appTitle)) {}

  bool OtherInstanceRunning() override;
  void SetWaitCursor() override;
  void ResetCursor() override;
  std::wstring CurrentDirectory() override;
  std::wstring FindFileName(const std::wstring& path) override;
  std::size_t ReadProfileString(const std::wstring& file, const std::wstring& section,
                                const std::wstring& key, const std::wstring& fallback,
                                std::string& buffer) override;
  std::wstring FromAnsi(std::string_view bytes) const override;
  std::wstring ToFullWidth(const std::wstring& text) const override;
  std::wstring AppTitle() const override { return appTitle_; }
  void SetAppTitle(const std::wstring& title) override { appTitle_ = title; }
  void ShowMessage(const std::wstring& text, const std::wstring& title, MessageIcon icon) override;
  [[noreturn]] void EndProgram(int exitCode) override;
  ProgramVersion Version() const override;
  void PutOnClipboard(const std::wstring& text) override;

 private:
  HWND owner_;
  UniqueHandle instanceMutex_;
  std::wstring appTitle_;
};

}  // namespace kv::win32
