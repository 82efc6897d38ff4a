#pragma once

#include <QString>

// The name of the operating system family this build runs on ("Linux", "Windows"), for logs and
// the about window.
QString PlatformName();
