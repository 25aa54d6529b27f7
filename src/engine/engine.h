#pragma once
// The engine's work on one instance, as its operations call it: with the instance's lock
// held. The exports and tools call the operations of engine/contest.h instead.
#include <string>

#include "engine/contest.h"

namespace engine {

int AddData(Contest& contest, const QsoArgs& args, Refusal* why = nullptr);
int RemoveData(Contest& contest, const QsoArgs& args);
int CheckCall(Contest& contest, const CheckCallArgs& args);
int IsValidExchg(const std::string& exchange, const std::string& prefix);

// Releases the lock around the header dialog and the start of the setup thread, which block
// or wait for the other thread.
int ResetStats(Contest& contest, const ResetArgs& args, StateLock& lock);

// Reading and writing the settings file, where the instance keeps one: reads give 0 or
// empty, writes do nothing where it does not.
int ReadIntSetting(const Contest& contest, const char* key);
std::string ReadTextSetting(const Contest& contest, const char* key);
void WriteSetting(const Contest& contest, const char* key, const std::string& value);

}  // namespace engine
