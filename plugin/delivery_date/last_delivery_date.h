// The date of a goods item's last delivery, read backwards from its
// stock-card file.
#pragma once

#include <stdint.h>

// Writes the display date of the last delivery entry (last in the file, not
// latest by date) into destination, at most max_length characters and a NUL.
// 0: searched (date written, none found, or a read failed); -1: the user
// broke off; 1: nothing searched (null destination, or the file could not
// be reached, said in a message).
extern "C" int32_t __attribute__((stdcall)) DajOstatniaDateDostawy(int32_t card_number,
                                                                  int32_t context_number,
                                                                  char* destination,
                                                                  int32_t max_length);
