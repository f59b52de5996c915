#include "CMemorySettingsStore.h"

// Off Windows there is no registry: records share one in-memory profile for the process.
ISettingsStore& DefaultSettingsStore()
{
    static CMemorySettingsStore s_store;
    return s_store;
}
