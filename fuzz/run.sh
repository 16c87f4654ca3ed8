#!/usr/bin/env bash
echo "fuzzer not built yet"
