#pragma once

#include "app/NamePool.h"
#include "areas/tstring.h"

#include <string>
#include <vector>

// The SHA-256 (hex) of names as a pool or a kept list holds them: UTF-8,
// each followed by a line feed.
tstring PoolDigest(const std::vector<tstring>& names);
tstring PoolDigest(const NamePool& names);
std::string PoolText(const std::vector<tstring>& names);
std::string PoolText(const NamePool& names);
