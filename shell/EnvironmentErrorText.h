#pragma once

#include <QString>

#include "shell/Environment.h"

namespace korva {

// The Japanese sentence for a program folder or environment file that cannot
// be used: the line under the start-up or closing message.
QString DescribeEnvironmentError(const EnvironmentErrorDetail& detail);
inline QString DescribeEnvironmentError(const EnvironmentError& error) {
    return DescribeEnvironmentError(error.detail());
}

}  // namespace korva
