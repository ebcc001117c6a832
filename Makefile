# Front door for building, testing and running Quillmark. Every target first makes sure the
# Debian packages are there (scripts/install-deps), so a fresh machine needs nothing else.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
FUZZ_RUNS ?= 1000000
DIFFERENTIAL_RUNS ?= 100000
JOBS ?= 2

.PHONY: all deps build test run bench screenshots file-manager-screenshots sanitize fuzz package package-test format clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Release
	@cmake --build $(BUILD_DIR) -j$(JOBS)

test: build
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j$(JOBS)

run: build
	@$(BUILD_DIR)/src/quillmark

bench: build
	@scripts/install-deps bench
	@cmake -S . -B $(BUILD_DIR) > /dev/null
	@cmake --build $(BUILD_DIR) -j$(JOBS) --target benchmarks
	@cmake --build $(BUILD_DIR) --target run-benchmarks
	@cmake --build $(BUILD_DIR) --target run-share-benchmark

# PNGs of the window in each of its states, drawn offscreen, in $(BUILD_DIR)/screenshots.
screenshots: build
	@ctest --test-dir $(BUILD_DIR) -R make_media_corpus > /dev/null
	@cmake --build $(BUILD_DIR) -j$(JOBS) --target screenshots

# Each file manager with Quillmark's entries, under Xvfb, in Italian and English, in
# $(BUILD_DIR)/file-manager-screenshots (the it_IT and en_US locales must be generated).
file-manager-screenshots: build
	@scripts/install-deps file-managers
	@ctest --test-dir $(BUILD_DIR) -R make_media_corpus > /dev/null
	@tools/file-manager-screenshots $(BUILD_DIR) $(BUILD_DIR)/file-manager-screenshots

sanitize: deps
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMARK_SANITIZE=ON
	@cmake --build $(SANITIZE_DIR) -j$(JOBS)
	@ctest --test-dir $(SANITIZE_DIR) --output-on-failure -j$(JOBS)

# The Debian package, in $(BUILD_DIR)/package; package-test unpacks it and runs the validators.
package: build
	@cd $(BUILD_DIR) && cpack -G DEB > /dev/null && ls package/*.deb

package-test: package
	@scripts/install-deps package
	@scripts/package-test $(BUILD_DIR)

# The report reader, the in-process probe and the MP4 and Matroska header readers (seeded with the
# test media), under libFuzzer with the sanitizers, for FUZZ_RUNS inputs each; the corpora are kept
# in $(FUZZ_DIR) between runs.
fuzz: deps
	@scripts/install-deps fuzz
	@cmake -S . -B $(FUZZ_DIR) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLMARK_FUZZ=ON
	@cmake --build $(FUZZ_DIR) -j$(JOBS) --target report_fuzz probe_fuzz header_fuzz differential_fuzz quillmark_libav
	@mkdir -p $(FUZZ_DIR)/corpus $(FUZZ_DIR)/probe-corpus $(FUZZ_DIR)/header-corpus
	@$(FUZZ_DIR)/fuzz/report_fuzz -runs=$(FUZZ_RUNS) -max_len=4096 -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/ $(FUZZ_DIR)/corpus fuzz/seeds
	@tests/support/make-media-corpus $(FUZZ_DIR)/media
	@QUILLMARK_LIBAV_MODULE=$(FUZZ_DIR)/src/quillmark_libav.so $(FUZZ_DIR)/fuzz/probe_fuzz -runs=$(FUZZ_RUNS) -max_len=65536 -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/probe- $(FUZZ_DIR)/probe-corpus $(FUZZ_DIR)/media
	@QUILLMARK_LIBAV_MODULE=$(FUZZ_DIR)/src/quillmark_libav.so $(FUZZ_DIR)/fuzz/header_fuzz -runs=$(FUZZ_RUNS) -max_len=65536 -timeout=10 -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/header- $(FUZZ_DIR)/header-corpus $(FUZZ_DIR)/media
	@mkdir -p $(FUZZ_DIR)/differences
	@QUILLMARK_LIBAV_MODULE=$(FUZZ_DIR)/src/quillmark_libav.so $(FUZZ_DIR)/fuzz/differential_fuzz $(DIFFERENTIAL_RUNS) $(FUZZ_DIR)/differences $(FUZZ_DIR)/media/*

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
