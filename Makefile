# make play: install what is missing, build, start orbivale-gl in its data folder.
# make test: install what is missing, build, run every test in a normal build
#            and again in a build with AddressSanitizer and UBSan.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_TIME  ?= 20
JOBS       ?= 2

DEPS := cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev \
        clang libclang-rt-dev libsdl2-dev libsdl2-mixer-dev timgm6mb-soundfont libgl-dev libgl1-mesa-dri \
        libx11-dev libxtst-dev libfreetype-dev fonts-dejavu-core \
        xvfb xauth xdotool x11-utils imagemagick

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

SANITIZER_ENV := ASAN_OPTIONS=abort_on_error=0:halt_on_error=1:detect_leaks=1 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
                 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: deps build play test test-normal test-sanitized fuzz clean

deps:
	@missing=$$(for p in $(DEPS); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

play: build
	cd $(BUILD)/data/gl && ../../orbivale-gl

test-normal: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitized: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORBIVALE_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# Each file reader gets FUZZ_TIME seconds of libFuzzer; new inputs it finds
# are kept in $(FUZZ_BUILD)/corpus, the seeds in fuzz/seeds.
FUZZ_TARGETS := fuzz_map fuzz_level_list fuzz_bmp fuzz_best_times fuzz_font
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBIVALE_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@for t in $(FUZZ_TARGETS); do \
	  seeds=$(CURDIR)/fuzz/seeds/$${t#fuzz_}; corpus=$(CURDIR)/$(FUZZ_BUILD)/corpus/$$t; mkdir -p $$corpus; \
	  echo "== $$t"; \
	  $(SANITIZER_ENV) $(FUZZ_BUILD)/fuzz/$$t -max_total_time=$(FUZZ_TIME) -timeout=10 -rss_limit_mb=2048 \
	    -print_final_stats=1 $$corpus $$seeds || exit 1; \
	done

test: test-normal test-sanitized fuzz

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
