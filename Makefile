# make run   installs what is missing, builds, makes the data and starts the game
# make test  installs what is missing, builds and runs every test (windowed ones under Xvfb),
#            on the classic SDL 1.2 library and again on sdl12-compat (SDL=classic or
#            SDL=compat runs one of the two)
# make package  installs what is missing, builds and makes build/brixel_<version>_<arch>.deb
BUILD ?= build
JOBS ?= $(shell nproc)
XVFB = xvfb-run -a -s "-screen 0 1024x768x24 -noreset"

.PHONY: all deps configure build run test clean bench bench-computer bench-versus package

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD)/data && ../brixel $(ARGS)

SDL ?= both
test: build
	@bash scripts/run-tests.sh $(BUILD) $(SDL) $(CTEST_FLAGS)

package: build
	@cmake --build $(BUILD) --target package

# Removes everything the build made but a player's settings and record.
clean:
	@if [ -d $(BUILD) ]; then \
	  if [ -f $(BUILD)/data/config.cfg ]; then cp $(BUILD)/data/config.cfg /tmp/brixel-config.$$$$; fi; \
	  rm -rf $(BUILD); \
	  if [ -f /tmp/brixel-config.$$$$ ]; then mkdir -p $(BUILD)/data && mv /tmp/brixel-config.$$$$ $(BUILD)/data/config.cfg; fi; \
	fi

# Speed figures (pass cost beside a reference frame, start-up, re-creation,
# memory, instruction profile); bench/run_bench.sh says what each figure is.
bench: build
	xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash bench/run_bench.sh $(BUILD)

# The computer player over 20 fixed seeds in normal mode, each game to its end:
# rows, level, what ended it, and the time of its decisions (some minutes).
# COMPUTER_ARGS="classic 1 20" plays another mode or other seeds.
COMPUTER_ARGS ?= normal 1 20
bench-computer: build
	xvfb-run -a -s "-screen 0 1024x768x24 -noreset" $(BUILD)/bench/brixel_bench_computer $(COMPUTER_ARGS)

# Versus: the computer's three strengths over 20 seeds and a race's frame cost.
bench-versus: build
	xvfb-run -a -s "-screen 0 1024x768x24 -noreset" $(BUILD)/bench/brixel_bench_versus
