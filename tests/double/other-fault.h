// Ends the run with a fault that is not an access violation, so that no guard
// may catch it. The kinds are named by the tests; each platform's file says
// which it knows. Returns only when the kind is unknown here.
#ifndef VARNEK_OTHER_FAULT_H
#define VARNEK_OTHER_FAULT_H

void raise_other_fault(const char *kind);

#endif
