#pragma once
// Every voice the channel manager has handed out and not yet freed. The master
// volume and the recorder walk it; the library has one for the whole process.
#include <vector>

class CMidiChannel;

class CVoiceList {
 public:
  // The process-wide list, made on first use.
  static CVoiceList& Process();

  void Add(CMidiChannel* voice) { voices_.push_back(voice); }
  void Remove(CMidiChannel* voice);
  // In the order the voices were made.
  const std::vector<CMidiChannel*>& Voices() const { return voices_; }

 private:
  std::vector<CMidiChannel*> voices_;
};
