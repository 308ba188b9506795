# make play:    install what playing needs, build the two programs and their
#                data (no tests), start orbivale-gl in its data folder.
# make test:     install what is missing, build, run every test in a normal build
#                and again in a build with AddressSanitizer and UBSan.
# make web:      build the browser edition of both programs into build-web/site.
# make web-serve: serve it on 127.0.0.1 and print the address.
# make package:  build for /usr in its own folder and make the three .debs there.

BUILD         ?= build
ASAN_BUILD    ?= build-asan
FUZZ_BUILD    ?= build-fuzz
PACKAGE_BUILD ?= build-package
FUZZ_TIME     ?= 20
JOBS          ?= 2
# CI sets WERROR=ON: its builds stop at any warning (g++ and clang alike).
WERROR        ?= OFF

# What building and playing need; the tests, checks and packaging add theirs.
PLAY_DEPS := cmake ninja-build g++ libsdl2-dev libsdl2-mixer-dev libgl-dev libgl1-mesa-dri \
             libfreetype-dev fonts-dejavu-core
# The sound tests also play the music through the system's soundfont, the
# one the game falls back on.
DEPS := $(PLAY_DEPS) timgm6mb-soundfont libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev clang-format \
        libx11-dev libxtst-dev xvfb xauth xdotool x11-utils xfonts-encodings xfonts-base imagemagick \
        desktop-file-utils appstream mandoc weston \
        pulseaudio pulseaudio-utils
PACKAGE_DEPS := $(PLAY_DEPS) dpkg-dev file
# The package and papers tests build the .debs and check them and the icons.
DEPS += dpkg-dev file lintian librsvg2-bin

# The browser edition: Debian's emscripten, the synthesizer that renders the
# music, and the browser its test runs in.
WEB_BUILD := build-web
WEB_DEPS := emscripten nodejs fluidsynth sox timgm6mb-soundfont dpkg-dev chromium
DEPS += $(WEB_DEPS)
WEB_PORT ?= 8080
WEB_ENV := NODE_PATH=/usr/share/nodejs EMSDK_PYTHON=/usr/bin/python3

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# $(call install-missing,PACKAGES): apt-get only what is not installed yet.
define install-missing
	@missing=$$(for p in $(1); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; \
	  done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi
endef

# allocator_may_return_null: the map loader asks for a hole table of any size
# and answers "out of memory" when it cannot have it.
SANITIZER_ENV := ASAN_OPTIONS=abort_on_error=0:halt_on_error=1:detect_leaks=1:allocator_may_return_null=1 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
                 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

.PHONY: deps-web web web-serve web-for-test deps deps-play deps-package build play-build play test check-layers test-normal test-sanitized fuzz package clean

deps:
	$(call install-missing,$(DEPS))

deps-play:
	$(call install-missing,$(PLAY_DEPS))

deps-package:
	$(call install-missing,$(PACKAGE_DEPS))

deps-web:
	$(call install-missing,$(PLAY_DEPS) $(WEB_DEPS))

# The native generator writes the data; SDL2 and SDL2_mixer are built from
# Debian's sources once and kept in $(WEB_BUILD)/sdl.
web: deps-web
	@[ -f $(BUILD)/CMakeCache.txt ] || \
	  cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
	cmake --build $(BUILD) -j $(JOBS) --target orbivale-data
	JOBS=$(JOBS) $(WEB_ENV) web/build_sdl.sh $(WEB_BUILD)/sdl
	@[ -f $(WEB_BUILD)/out/CMakeCache.txt ] || \
	  $(WEB_ENV) emcmake cmake -S web -B $(WEB_BUILD)/out -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DORBIVALE_SDL_PREFIX=$(CURDIR)/$(WEB_BUILD)/sdl/prefix -DORBIVALE_NATIVE_DATA=$(CURDIR)/$(BUILD)/data \
	    -DORBIVALE_SITE=$(CURDIR)/$(WEB_BUILD)/site
	$(WEB_ENV) cmake --build $(WEB_BUILD)/out -j $(JOBS)

web-serve: web
	node web/serve.js $(WEB_BUILD)/site $(WEB_PORT)

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DORBIVALE_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

# A fresh build folder leaves the tests out; one that `make test` set up keeps
# them, and only the programs and data are brought up to date.
play-build: deps-play
	@[ -f $(BUILD)/CMakeCache.txt ] || \
	  cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
	cmake --build $(BUILD) -j $(JOBS) --target orbivale-gl orbivale-glide orbivale-data

play: play-build
	cd $(BUILD)/data/gl && ../../orbivale-gl

# The browser test needs the browser edition: a machine that cannot build it
# fails here, in one line, instead of skipping it.
web-for-test:
	@$(MAKE) --no-print-directory web || { echo "make test: the browser edition (make web) cannot be built on this machine"; exit 1; }

test-normal: build web-for-test
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitized: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORBIVALE_SANITIZE=ON -DBUILD_TESTING=ON -DORBIVALE_WERROR=$(WERROR)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# Each file reader gets FUZZ_TIME seconds of libFuzzer; new inputs it finds
# are kept in $(FUZZ_BUILD)/corpus, the seeds in fuzz/seeds. A map's hole
# table is allocated whole and filled only as far as the file goes, so only
# the memory really used is limited for fuzz_map.
FUZZ_TARGETS := fuzz_map fuzz_level_list fuzz_bmp fuzz_best_times fuzz_font fuzz_replay
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORBIVALE_FUZZ=ON -DBUILD_TESTING=ON -DORBIVALE_WERROR=$(WERROR)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(FUZZ_TARGETS)
	@for t in $(FUZZ_TARGETS); do \
	  seeds=$(CURDIR)/fuzz/seeds/$${t#fuzz_}; corpus=$(CURDIR)/$(FUZZ_BUILD)/corpus/$$t; mkdir -p $$corpus; \
	  echo "== $$t"; \
	  limit=; [ $$t = fuzz_map ] && limit=-malloc_limit_mb=1048576; \
	  $(SANITIZER_ENV) $(FUZZ_BUILD)/fuzz/$$t -max_total_time=$(FUZZ_TIME) -timeout=10 -rss_limit_mb=2048 $$limit \
	    -print_final_stats=1 $$corpus $$seeds || exit 1; \
	done

# No folder includes from one above it (the order is at the top of the script).
check-layers:
	tools/check_layers.sh

test: check-layers test-normal test-sanitized fuzz

# The programs look for their installed data under the prefix they were built
# for, so the packages are built for /usr, where they install; Debian's games
# live in /usr/games. The compiler and linker flags are Debian's own
# (dpkg-buildflags, every hardening feature on).
package: export DEB_BUILD_MAINT_OPTIONS = hardening=+all
package: deps-package
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
	  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games \
	  -DCMAKE_C_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CFLAGS)" \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)"
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
