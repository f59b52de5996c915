#include "CNativeEnginePlatform.h"

IEnginePlatform& DefaultEnginePlatform()
{
    static CNativeEnginePlatform s_platform;
    return s_platform;
}
