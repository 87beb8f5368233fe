// Touches the bad address 1 through a platform call that catches the fault
// itself and reports the address bad, as platform functions that guard their
// own access to caller memory do: the fault never reaches the caller, nor any
// guard around it. Returns whether the call reported the address bad.
#ifndef VARNEK_HANDLED_FAULT_H
#define VARNEK_HANDLED_FAULT_H

bool handled_fault();

#endif
