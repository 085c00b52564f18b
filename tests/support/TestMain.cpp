// Every test process works in a fresh folder of its own, so that the log and
// configuration files of parallel tests never meet.
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  char dir_template[] = "/tmp/zelvra-test-XXXXXX";
  const char* dir = mkdtemp(dir_template);
  if (!dir || chdir(dir) != 0)
    return 2;
  unsetenv("ZELVRA_CONFIG");
  unsetenv("ZELVRA_LOG");
  int result = RUN_ALL_TESTS();
  if (result == 0 && system((std::string("rm -rf '") + dir + "'").c_str()) != 0)
    return 3;
  return result;
}
