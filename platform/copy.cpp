// The copy of one file (see fs.h), the same on both builds over the steps of
// platform/file_io.h: its content and then its named streams in chunks, its
// last-write time, its attributes; an encrypted file by the system's copy.
#include <vector>

#include "platform/file_io.h"

namespace plat {
namespace {

// Chunks of the copy: large enough that a big file streams at disk speed (as
// fast as the system's own copy; under Wine 1 MiB and more are slower), small
// enough that the caller hears from the copy many times a second even from a
// slow drive.
constexpr size_t kChunk = 256 << 10;

// The rest of in into out, chunk by chunk, progress asked before the first
// chunk and after every one; the chunks shown to it when show. A failed read
// sets readFailed.
uint32_t CopyContent(io::File& in, io::File& out, CopyProgress* progress, bool show, bool& readFailed) {
  if (progress && !progress->Continue()) return kErrRequestAborted;
  // One buffer for every file the thread copies: a small file is read whole
  // in one call and its end seen in the next, as with a buffer of its size,
  // and no file needs its size asked first.
  thread_local std::vector<char> buffer(kChunk);
  for (;;) {
    size_t got = 0;
    if (uint32_t err = io::Read(in, buffer.data(), buffer.size(), &got)) return (readFailed = true), err;
    if (got == 0) return kErrSuccess;
    if (uint32_t err = io::Write(out, buffer.data(), got)) return err;
    if (progress && show) progress->Copied(buffer.data(), got);
    if (progress && !progress->Continue()) return kErrRequestAborted;
  }
}

// Every named stream of the source into the same stream of the target; a
// failure to list, open or read the source's streams sets readFailed.
uint32_t CopyNamedStreams(io::File& in, const NativePath& source, io::File& out, const NativePath& destination,
                          CopyProgress* progress, bool& readFailed) {
  std::vector<NativePath> names;
  if (uint32_t err = io::NamedStreams(in, source, names)) return (readFailed = true), err;
  if (names.empty() || !io::HoldsNamedStreams(out)) return kErrSuccess;
  for (const NativePath& name : names) {
    io::File from, to;
    io::Facts facts;
    if (uint32_t err = io::OpenSource(io::StreamPath(source, name), from, facts)) return (readFailed = true), err;
    if (uint32_t err = io::CreateTarget(io::StreamPath(destination, name), to)) return err;
    if (uint32_t err = CopyContent(from, to, progress, false, readFailed)) return err;
    if (uint32_t err = to.Close()) return err;
  }
  return kErrSuccess;
}

// The copy of CopyFileNoReplace; readFailed tells a failure of the source's
// side.
uint32_t CopyOneFile(const NativePath& source, const NativePath& destination, CopyProgress* progress,
                     bool& readFailed) {
  // Our own chunked copy rather than the system's whole-file one, so that the
  // caller is heard within every file on every system (Wine's CopyFileExW never
  // calls its progress routine) and a stop ends the file at once.
  io::File in;
  io::Facts facts;
  if (uint32_t err = io::OpenSource(source, in, facts)) return (readFailed = true), err;
  // Read here, an encrypted file would come out as plaintext: the system's
  // copy encrypts the copy again, or refuses.
  if (facts.attributes & kAttrEncrypted) {
    in.Close();
    if (progress) progress->CopiedUnseen();
    return io::SystemCopy(source, destination, progress);
  }
  // Anything at destination after a failure below was made by this call.
  io::File out;
  if (uint32_t err = io::CreateTarget(destination, out)) return err;
  uint32_t err = CopyContent(in, out, progress, true, readFailed);
  if (!err) err = CopyNamedStreams(in, source, out, destination, progress, readFailed);
  // The time set after the last write, so that it stays; the attributes last:
  // a read-only copy could not have been written, nor removed. The archive bit
  // stays as the system sets it on a new file.
  if (!err) err = io::FinishTarget(out, facts);
  const uint32_t kept = facts.attributes & kAttrMarks;
  if (!err && kept) err = io::SetAttributes(destination, kept | kAttrArchive);
  if (err) {
    out.Close();
    RemoveFile(destination);  // its named streams with it
  }
  return err;
}

}  // namespace

uint32_t CopyFileNoReplace(const NativePath& source, const NativePath& destination, CopyProgress* progress,
                           bool* sourceFailed) {
  bool readFailed = false;
  const uint32_t err = CopyOneFile(source, destination, progress, readFailed);
  if (sourceFailed) *sourceFailed = err && readFailed;
  return err;
}

}  // namespace plat
