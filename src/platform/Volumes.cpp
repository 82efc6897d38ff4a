#include "Volumes.h"

#include <atomic>

namespace {

std::atomic<IVolumeProvider*> Installed = nullptr;

} // namespace

IVolumeProvider& VolumeProvider()
{
    static const std::unique_ptr<IVolumeProvider> System = CreatePlatformVolumeProvider();
    IVolumeProvider* Provider = Installed.load();
    return Provider ? *Provider : *System;
}

void SetVolumeProvider(IVolumeProvider* Provider)
{
    Installed.store(Provider);
}
