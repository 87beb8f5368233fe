// The test double's script: which calls do what. It comes from the environment
// variable VARNEK_DOUBLE_SCRIPT as clauses separated by ';', each
// "SELECTOR: ACTION ...".
//
// Selectors:
//   *            every probed call (GetLogColorSpaceA/W, GetObjectA/W)
//   N or N-M     the probed calls numbered N (to M), counting from 0
//   Name         every call of the platform function Name
//   Name#N       the call of Name numbered N, counting from 0
// Actions, applied in this order whatever order they are written in:
//   mark         prints "<<Name>>" into the report when the call comes
//   lcsSize=V    writes the 32-bit V at byte 8 of the call's record (the one it
//                is passed, or the last one seen when passed null or a bogus one)
//   bytes=O:HEX  writes the bytes HEX (pairs of hex digits) at offset O of it
//   name=U,U*N   writes the file name: code units in hex, "*N" repeats one; a
//                byte each for the A functions, 16 bits each for the W ones
//   spill=HH     writes as many bytes HH as the call's byte count says, at the
//                address it is passed (not when that is null)
//   err=V        sets the last-error value to V
//   fault        writes to the address 1: an access violation
//   handled-fault  faults at the address 1 inside a platform call that
//                handles the fault itself (handled-fault.h); logs the outcome
//   other=KIND   raises a fault of another kind (see other-fault.h)
//   ret=V        the call's result (for WideCharToMultiByte: no conversion)
// Values are decimal, negative or 0x-hex, kept to 32 bits.
#ifndef VARNEK_DOUBLE_SCRIPT_H
#define VARNEK_DOUBLE_SCRIPT_H

#include <cstdint>
#include <string>
#include <vector>

struct ScriptedCall {
  const char *function;
  int occurrence;  // of this function, from 0
  int probed;      // number among the probed calls, or -1
};

struct ScriptWrite {
  std::size_t offset;
  std::vector<unsigned char> bytes;
};

// What the script says one call does. Each optional part has a flag.
struct CallActions {
  bool mark = false;
  bool hasLcsSize = false;
  std::uint32_t lcsSize = 0;
  std::vector<ScriptWrite> writes;
  bool hasName = false;
  std::vector<std::uint16_t> name;
  bool hasSpill = false;
  unsigned char spill = 0;
  bool hasErr = false;
  std::uint32_t err = 0;
  bool fault = false;
  bool handledFault = false;
  std::string otherFault;
  bool hasRet = false;
  std::int32_t ret = 0;
};

// Reads the script from the environment on first use. A script that does not
// parse ends the run with a message on stderr and exit status 2.
CallActions script_actions(const ScriptedCall &call);

#endif
