#include "settings/settings.h"

#include <cstdlib>

namespace settings {

int ReadIntKey(const char* key) {
    return std::atoi(ReadKey(key).c_str());
}

bool WriteIntKey(const char* key, int value) {
    return WriteKey(key, std::to_string(value));
}

PositionCache LoadPosition(const char* xKey, const char* yKey, int defaultX, int defaultY) {
    PositionCache cache;
    cache.x = ReadIntKey(xKey);
    cache.y = ReadIntKey(yKey);
    if (cache.x == 0) cache.x = defaultX;
    if (cache.y == 0) cache.y = defaultY;
    return cache;
}

void SavePosition(PositionCache& cache, const char* xKey, const char* yKey, int left, int top) {
    if (left != cache.x) {
        cache.x = left;
        WriteIntKey(xKey, left);
    }
    if (top != cache.y) {
        cache.y = top;
        WriteIntKey(yKey, top);
    }
}

}  // namespace settings
