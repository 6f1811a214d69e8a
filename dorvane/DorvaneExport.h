#pragma once

#define DORVANE_API __attribute__((visibility("default")))
