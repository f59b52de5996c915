#pragma once

class IEnginePlatform;

// The looping background sound. It keeps no state: the platform plays the resource.
class CBackgroundSound
{
public:
    explicit CBackgroundSound(IEnginePlatform& platform) : m_platform(platform) {}

    bool Open();
    void Play();
    void Stop();

private:
    IEnginePlatform& m_platform;
};
