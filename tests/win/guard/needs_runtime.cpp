// Linked as TOVRAMIX.DLL is linked, this must not build: it needs the C++ library.
#include <cstddef>

extern "C" __declspec(dllexport) char* Allocate(std::size_t size) {
  return new char[size];
}
