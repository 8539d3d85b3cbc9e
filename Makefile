# Two commands do the whole set-up on a fresh Debian machine:
#   make run    installs missing packages (as root), builds, makes build/game/ and starts the game
#   make test   the same set-up, then the whole test suite (AddressSanitizer + UBSan build)
# make bench builds optimised and runs the benchmarks (JSON reports in build/bench/);
# make listen renders the music and effects into build/listen/.

JOBS  ?= $(shell nproc)
CMAKE ?= cmake
GEN   := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

REL_DIR  := build/rel
TEST_DIR := build/test
GAME_DIR := $(CURDIR)/build/game

.PHONY: all deps build data run test bench fuzz listen clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	$(CMAKE) -S . -B $(REL_DIR) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLINDOR_GAME_DIR=$(GAME_DIR) >/dev/null
	$(CMAKE) --build $(REL_DIR) -j $(JOBS)

# The program folder's data only (images, sounds, music, fonts, levels, words).
data: deps
	$(CMAKE) -S . -B $(REL_DIR) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLINDOR_GAME_DIR=$(GAME_DIR) >/dev/null
	$(CMAKE) --build $(REL_DIR) -j $(JOBS) --target gamefolder

run: build
	cd $(GAME_DIR) && ./plindor

test: deps
	$(CMAKE) -S . -B $(TEST_DIR) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DPLINDOR_SANITIZE=ON -DPLINDOR_WERROR=ON >/dev/null
	$(CMAKE) --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest -j $(JOBS) --output-on-failure --timeout 600

# Each case runs five times and the console shows the medians, so that one busy spell
# of the machine does not decide a comparison.
BENCH_FLAGS ?= --benchmark_repetitions=5 --benchmark_display_aggregates_only=true

bench: build
	$(CMAKE) --build $(REL_DIR) -j $(JOBS) --target benchmarks
	@mkdir -p build/bench
	@for b in $(REL_DIR)/bench/bench_*; do \
	  [ -x "$$b" ] || continue; n=$$(basename $$b); echo "== $$n"; \
	  "$$b" $(BENCH_FLAGS) --benchmark_out=build/bench/$$n.json --benchmark_out_format=json || exit 1; \
	done

# Renders the music and every sound effect into build/listen/ for listening, with their
# loudness as stored and as heard at the game's default volumes (loudness.txt).
listen: build
	$(CMAKE) --build $(REL_DIR) --target listen

# Builds every libFuzzer target with clang and runs each for FUZZ_SECONDS on its corpus
# (new inputs go to build/fuzz/found/<name>, the committed corpus is only read).
FUZZ_SECONDS ?= 60
fuzz: deps
	$(CMAKE) -S . -B build/fuzz $(GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPLINDOR_FUZZ=ON >/dev/null
	$(CMAKE) --build build/fuzz -j $(JOBS) --target fuzzers
	bash tools/run-fuzzers.sh $(FUZZ_SECONDS)

clean:
	rm -rf build
