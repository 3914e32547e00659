// What happens if an exception ever reaches std::terminate: the program ends at once, as the
// C++ library's default handler ends it. That default first prints the exception's type to
// standard error, which a windowed program does not have, and brings a name demangler and a
// printf (some 70 KB, a fifth of the program) for it. Defined here, in the program itself,
// it takes the library's place.
#include <cstdlib>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
  std::abort();
}

}  // namespace __gnu_cxx
