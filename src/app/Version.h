// The program's version text: major.minor.patch, a hyphen, the build number.
#pragma once

#define LOOMWISE_VERSION "1.0.0-1"
