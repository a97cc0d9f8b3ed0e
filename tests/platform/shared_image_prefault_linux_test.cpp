#include "platform/x11/shared_image_prefault.h"

#include <gtest/gtest.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

int PresentPages(void* start, std::size_t pages, std::size_t page) {
    std::vector<unsigned char> present(pages);
    if (mincore(start, pages * page, present.data()) != 0) return -1;
    int count = 0;
    for (unsigned char p : present) count += p & 1;
    return count;
}

}  // namespace

TEST(SharedImagePrefault, MakesAnImagesPagesPresentWithoutChangingThem) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t pages = 64;
    const int id = shmget(IPC_PRIVATE, pages * page, IPC_CREAT | 0600);
    ASSERT_GE(id, 0);
    auto* image = static_cast<unsigned char*>(shmat(id, nullptr, 0));
    shmctl(id, IPC_RMID, nullptr);  // gone with its last mapping
    ASSERT_NE(image, reinterpret_cast<unsigned char*>(-1));
    if (madvise(image, page, MADV_POPULATE_WRITE) != 0 && errno == EINVAL) {
        shmdt(image);
        GTEST_SKIP() << "the kernel cannot populate pages (Linux < 5.14)";
    }
    image[5 * page] = 42;
    const int before = PresentPages(image, pages, page);
    ASSERT_LT(before, static_cast<int>(pages));

    EXPECT_GE(PopulateSharedImages(), 1);
    EXPECT_EQ(PresentPages(image, pages, page), static_cast<int>(pages));
    EXPECT_EQ(image[5 * page], 42);
    EXPECT_EQ(image[6 * page], 0);
    shmdt(image);
}
