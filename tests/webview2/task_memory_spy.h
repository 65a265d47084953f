// Watches COM task memory while it exists, so that a test can tell whether the code under test
// freed a string that the runtime handed out. One at a time, on the test's thread.
#pragma once

#include <objbase.h>

#include <algorithm>
#include <vector>

namespace webview::detail::testing {

class task_memory_spy final : public IMallocSpy {
 public:
  task_memory_spy() { registered = SUCCEEDED(CoRegisterMallocSpy(this)); }
  ~task_memory_spy() {
    if (registered) CoRevokeMallocSpy();
  }
  task_memory_spy(const task_memory_spy&) = delete;
  task_memory_spy& operator=(const task_memory_spy&) = delete;

  bool is_registered() const { return registered; }
  bool was_freed(const void* block) const {
    return std::find(freed.begin(), freed.end(), block) != freed.end();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMallocSpy)) {
      *ppv = static_cast<IMallocSpy*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  // COM holds the spy between registration and revocation; it lives as long as the test.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
  void* STDMETHODCALLTYPE PostAlloc(void* block) override { return block; }
  void* STDMETHODCALLTYPE PreFree(void* block, BOOL) override {
    if (block != nullptr) freed.push_back(block);
    return block;
  }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T size, void** new_block, BOOL) override {
    *new_block = block;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* block, BOOL) override { return block; }
  void* STDMETHODCALLTYPE PreGetSize(void* block, BOOL) override { return block; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* block, BOOL) override { return block; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int allocated) override { return allocated; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}

 private:
  bool registered = false;
  std::vector<const void*> freed;
};

}  // namespace webview::detail::testing
