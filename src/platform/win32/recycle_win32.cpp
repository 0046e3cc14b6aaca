// The move to the Recycle Bin through the shell's engine; see recycle_win32.h.
#include "platform/win32/win32_api.h"

#include "platform/win32/recycle_win32.h"

#include "platform/win32/file_identity_win32.h"

namespace kelvar::win32 {
namespace {

// A COM pointer, released on every way out.
template <typename T>
struct Held {
  T* p = nullptr;
  ~Held() {
    if (p) p->Release();
  }
};

}  // namespace

HRESULT RecycleSink::QueryInterface(REFIID iid, void** out) {
  if (iid == IID_IUnknown || iid == __uuidof(IFileOperationProgressSink)) {
    *out = static_cast<IFileOperationProgressSink*>(this);
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

// The engine moves only the one file it was given, so the path to check is
// the caller's (the item's own name may be the 32-bit view of a Sysnative
// path).  An error here cancels the move.
HRESULT RecycleSink::PreDeleteItem(DWORD, IShellItem*) {
  if (before_move_) before_move_();
  if (HoldsFile(path_, confirmed_)) return S_OK;
  refused_ = true;
  return HRESULT_FROM_WIN32(ERROR_CANCELLED);
}

// The sink is made first, so it outlives the engine that holds it.  A call
// the engine does not implement leaves nothing done.
Recycled RecycleChecked(HWND owner, const std::wstring& path, const FileIdentity& confirmed, DWORD flags,
                        const std::function<void()>& before_move) {
  RecycleSink sink(path, confirmed, before_move);
  Held<IFileOperation> op;
  Held<IShellItem> item;
  if (FAILED(CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&op.p))) ||
      FAILED(op.p->SetOperationFlags(flags)) ||
      FAILED(SHCreateItemFromParsingName(path.c_str(), nullptr, IID_PPV_ARGS(&item.p))))
    return Recycled::kNoEngine;
  // Another file already: the shell is not even asked.
  if (!HoldsFile(path, confirmed)) return Recycled::kNotTheFile;
  DWORD cookie = 0;
  if (owner) op.p->SetOwnerWindow(owner);
  if (FAILED(op.p->Advise(&sink, &cookie))) return Recycled::kNoEngine;
  const bool listed = SUCCEEDED(op.p->DeleteItem(item.p, nullptr));
  const HRESULT done = listed ? op.p->PerformOperations() : E_NOTIMPL;
  op.p->Unadvise(cookie);
  if (sink.Refused()) return Recycled::kNotTheFile;
  return done == E_NOTIMPL ? Recycled::kNoEngine : Recycled::kDone;
}

}  // namespace kelvar::win32
