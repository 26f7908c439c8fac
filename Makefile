# The two commands a newcomer needs:
#   make demo   - the wizard's main job with the stand-in tools, then with the real capture tool
#   make test   - every test, closing with ctest's summary
# Both install what is missing first (tools/scripts/setup.sh).
BUILD  ?= build
JOBS   ?= 2
ROOT   := $(abspath .)
B      := $(abspath $(BUILD))
CMAKE  := cmake -G Ninja -Wno-dev

.PHONY: demo demo-capture dist test run run-install fuzz bench setup native sanitize win64 win32 clean

test: native sanitize win64 win32
	ctest --test-dir $(B)/native --output-on-failure -j$(JOBS)

demo: native win64
	bash tools/scripts/demo.sh $(B)

# The real wizard by hand, on your display (or a picture of it without one);
# its settings and captures go to LOOM_RUN_DIR (default ~/Loomwise).
run: win64
	@bash tools/scripts/run.sh $(B)

# From a second shell while `make run` waits on its install page: installs the
# sample application into the wizard's Wine prefix.
run-install:
	@bash tools/scripts/run-install.sh $(B)

# The wizard with the real capture tool on the sample installer.
demo-capture: native win64
	bash tools/scripts/demo-capture.sh $(B)

# loomwise-VERSION-win64.zip and -win32.zip in $(B)/dist.
dist: win64 win32
	bash tools/scripts/dist.sh $(B)

# Longer fuzzing runs (FUZZ_SECONDS each) of every fuzzer.
FUZZ_SECONDS ?= 120
fuzz: sanitize
	@for f in fuzz/fuzz_*.cpp; do n=$$(basename $$f .cpp); \
	  bash tools/scripts/run-fuzzer.sh $(B)/sanitize/$$n fuzz/corpus/$$n $(B)/fuzz-long/$$n $(FUZZ_SECONDS) || exit 1; done

# Full benchmark runs; each prints ratios against a baseline measured in the same run. The
# wizard's run around a full scan tree takes some 16 minutes, so each Wine run may take 30.
bench: native win64
	@for b in $(B)/native/bench_*; do echo "== $$(basename $$b)"; $$b || exit 1; done
	@for b in $(B)/win64/bench_*.exe; do n=$$(basename $$b .exe); echo "== $$n.exe (under Wine)"; \
	  mkdir -p $(B)/wine; \
	  LOOM_WINE_STDERR=$(B)/wine/$$n.stderr LOOM_WINE_TIMEOUT=$${LOOM_WINE_TIMEOUT:-1800} \
	    bash tools/scripts/wine-run.sh $(B)/wine/bench-full -- $$b \
	    || { cat $(B)/wine/$$n.stderr; exit 1; }; done

setup:
	@bash tools/scripts/setup.sh

native: setup
	@$(CMAKE) -S $(ROOT) -B $(B)/native -DLOOM_SANITIZE_DIR=$(B)/sanitize \
	  -DLOOM_WIN64_DIR=$(B)/win64 -DLOOM_WIN32_DIR=$(B)/win32 >/dev/null
	@ninja -C $(B)/native -j$(JOBS)

sanitize: setup
	@CC=clang CXX=clang++ $(CMAKE) -S $(ROOT) -B $(B)/sanitize -DCMAKE_BUILD_TYPE=Debug \
	  -DLOOM_SANITIZE=ON -DLOOM_FUZZ=ON >/dev/null
	@ninja -C $(B)/sanitize -j$(JOBS)

win64: setup
	@$(CMAKE) -S $(ROOT) -B $(B)/win64 -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-x86_64.cmake >/dev/null
	@ninja -C $(B)/win64 -j$(JOBS)

win32: setup
	@$(CMAKE) -S $(ROOT) -B $(B)/win32 -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/mingw-i686.cmake >/dev/null
	@ninja -C $(B)/win32 -j$(JOBS)

clean:
	rm -rf $(B)
