/* A library under the module library's name that lacks most of its
   functions, as a wrong or outdated file next to the program would. */
#include <stdint.h>

__attribute__((visibility("default"))) int32_t VXMComOpen(const char *port)
{
    (void)port;
    return 1;
}
