// Built by the format check tests, never linked: texts that are not formats
// handed to a formatter.
#include "foundation/String.h"

void Format(const char* name)
{
#ifdef NVORN_FORMAT_misuse
    NVorn::CString label(name), sale("50% off");
#else
    NVorn::CString label("%s", name), sale("50%% off");
#endif
}
