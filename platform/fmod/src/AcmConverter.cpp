#include "AcmConverter.h"

#include <algorithm>
#include <cstring>

namespace soundlib {

bool AcmConverter::Open(const std::vector<uint8_t>& source) {
  Close();
  if (source.size() < sizeof(WAVEFORMATEX)) return false;
  source_ = source;
  auto* format = reinterpret_cast<WAVEFORMATEX*>(source_.data());
  if (sizeof(WAVEFORMATEX) + format->cbSize > source_.size()) return false;
  pcm_ = WAVEFORMATEX{};
  pcm_.wFormatTag = WAVE_FORMAT_PCM;
  pcm_.nChannels = format->nChannels;
  pcm_.nSamplesPerSec = format->nSamplesPerSec;
  pcm_.wBitsPerSample = 16;
  pcm_.nBlockAlign = WORD(pcm_.nChannels * 2);
  pcm_.nAvgBytesPerSec = pcm_.nSamplesPerSec * pcm_.nBlockAlign;
  if (acmFormatSuggest(nullptr, format, &pcm_, sizeof pcm_,
                       ACM_FORMATSUGGESTF_WFORMATTAG | ACM_FORMATSUGGESTF_NCHANNELS |
                           ACM_FORMATSUGGESTF_NSAMPLESPERSEC | ACM_FORMATSUGGESTF_WBITSPERSAMPLE) != 0)
    return false;
  if (pcm_.nChannels < 1 || pcm_.nChannels > 2 || pcm_.wBitsPerSample != 16) return false;
  return OpenStream();
}

bool AcmConverter::OpenStream() {
  auto* format = reinterpret_cast<WAVEFORMATEX*>(source_.data());
  started_ = false;
  pending_.clear();
  return acmStreamOpen(&stream_, nullptr, format, &pcm_, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) == 0;
}

bool AcmConverter::Reset() {
  if (stream_) acmStreamClose(stream_, 0);
  stream_ = nullptr;
  if (source_.empty()) return false;
  return OpenStream();
}

void AcmConverter::Close() {
  if (stream_) acmStreamClose(stream_, 0);
  stream_ = nullptr;
  pending_.clear();
}

bool AcmConverter::Convert(const uint8_t* bytes, size_t size, std::vector<int16_t>* pcm, size_t maxSamples) {
  if (!stream_) return false;
  pending_.insert(pending_.end(), bytes, bytes + size);
  if (pending_.empty()) return true;
  DWORD answer = 0;
  if (acmStreamSize(stream_, DWORD(pending_.size()), &answer, ACM_STREAMSIZEF_SOURCE) != 0 || answer == 0)
    answer = DWORD(pending_.size() * 16);
  // Some codecs keep decoded samples they had no room for; generous room
  // means one call empties them.
  uint64_t room = uint64_t(answer) * 2 + 65536;
  if (maxSamples) room = std::min<uint64_t>(room, uint64_t(maxSamples) * 2);
  const DWORD outSize = DWORD(std::min<uint64_t>(room, 0x7FFFFFFF));
  if (out_.size() < outSize) out_.resize(outSize);
  ACMSTREAMHEADER header{};
  header.cbStruct = sizeof header;
  header.pbSrc = pending_.data();
  header.cbSrcLength = DWORD(pending_.size());
  header.pbDst = out_.data();
  header.cbDstLength = outSize;
  if (acmStreamPrepareHeader(stream_, &header, 0) != 0) return false;
  DWORD flags = started_ ? 0 : ACM_STREAMCONVERTF_START;
  MMRESULT rc = acmStreamConvert(stream_, &header, flags);
  acmStreamUnprepareHeader(stream_, &header, 0);
  if (rc != 0) return false;
  started_ = true;
  size_t used = header.cbSrcLengthUsed > pending_.size() ? pending_.size() : header.cbSrcLengthUsed;
  pending_.erase(pending_.begin(), pending_.begin() + used);
  size_t samples = header.cbDstLengthUsed / 2;
  size_t at = pcm->size();
  pcm->resize(at + samples);
  std::memcpy(pcm->data() + at, out_.data(), samples * 2);
  return true;
}

}  // namespace soundlib
