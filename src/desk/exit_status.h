#pragma once

// quorin-id's exit statuses, one set for every mode; --help and the README say the same.
namespace kv::desk {

enum ExitStatus : int {
  kDone = 0,        // every value converted, or the machine's rows found
  kFailed = 1,      // the input could not be read, or the output written
  kRefused = 2,     // some value, row or the request itself refused
  kNoMachine = 3,   // --find: every row searched, none of that machine
  kAmbiguous = 4,   // --find: rows of several machines, each one reading error away
  kNotAllRead = 5,  // --find: rows that could not be searched, and no exact match elsewhere
};

}  // namespace kv::desk
