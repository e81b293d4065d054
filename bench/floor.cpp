// The durable floor for the sweep benchmark: writes `bytes` bytes from
// memory to `file` as telk does, in 1 MiB blocks each handed to writeback
// as it lands, then syncs.  Nothing is formatted, so no writer of that
// many durable bytes can be faster.
//   floor <file> <bytes>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: floor <file> <bytes>\n");
    return 2;
  }
  const long long total = std::atoll(argv[2]);
  const int fd = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return perror(argv[1]), 1;
  std::vector<char> block(1 << 20, 'x');
  for (long long done = 0; done < total;) {
    const auto size = static_cast<std::size_t>(std::min<long long>(total - done, block.size()));
    if (write(fd, block.data(), size) != static_cast<ssize_t>(size)) return perror("write"), 1;
    sync_file_range(fd, done, static_cast<off_t>(size), SYNC_FILE_RANGE_WRITE);
    done += static_cast<long long>(size);
  }
  if (fsync(fd) != 0 || close(fd) != 0) return perror("fsync"), 1;
  return 0;
}
