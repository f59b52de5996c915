#include "CBackgroundSound.h"

#include "IEnginePlatform.h"

bool CBackgroundSound::Open()
{
    return true;
}

void CBackgroundSound::Play()
{
    m_platform.PlayLoopingSound();
}

void CBackgroundSound::Stop()
{
    m_platform.StopSound();
}
