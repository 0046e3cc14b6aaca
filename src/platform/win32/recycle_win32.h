// The move to the Recycle Bin through the shell's file-operation engine
// (IFileOperation).  The engine asks its own question, shows its progress and
// reports its errors as SHFileOperationW does, with the same flags, and it
// tells a sink just before it moves each file.  The question may stay open
// for as long as the user likes, and a path names whatever was put there
// last: so the sink checks there, after the question, that the file at the
// path is still the one the user confirmed, and stops the move otherwise.
// What is left is the moment between that check and the engine's own open of
// the path; nothing outside the engine can close it, since a handle that
// refused delete sharing would stop the engine's own move as well.
#pragma once

#include "platform/win32/win32_api.h"

#include <shobjidl.h>

#include <functional>
#include <string>

#include "platform/file_identity.h"

namespace kelvar::win32 {

enum class Recycled {
  kDone,        // moved, or declined or failed with the shell's own word
  kNotTheFile,  // another file was at the path: nothing moved
  kNoEngine,    // the system has no working engine (Wine has none): nothing done
};

// Moves `path` (Sysnative applied) with the engine and the FOF_ `flags`.
// `before_move` runs in the sink before its check; tests swap the file there.
Recycled RecycleChecked(HWND owner, const std::wstring& path, const FileIdentity& confirmed, DWORD flags,
                        const std::function<void()>& before_move);

// The engine's sink: it stops the move of anything but the confirmed file.
// It lives on its caller's stack, beyond the engine's use, so its count is
// not kept.
class RecycleSink final : public IFileOperationProgressSink {
 public:
  RecycleSink(const std::wstring& path, const FileIdentity& confirmed,
              const std::function<void()>& before_move)
      : path_(path), confirmed_(confirmed), before_move_(before_move) {}
  bool Refused() const { return refused_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE PreDeleteItem(DWORD flags, IShellItem* item) override;
  // The engine's other news matters not.
  HRESULT STDMETHODCALLTYPE StartOperations() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE FinishOperations(HRESULT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                         IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                         IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE PostDeleteItem(DWORD, IShellItem*, HRESULT, IShellItem*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT,
                                        IShellItem*) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE UpdateProgress(UINT, UINT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResetTimer() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE PauseTimer() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResumeTimer() override { return S_OK; }

 private:
  std::wstring path_;
  FileIdentity confirmed_;
  std::function<void()> before_move_;
  bool refused_ = false;
};

}  // namespace kelvar::win32
