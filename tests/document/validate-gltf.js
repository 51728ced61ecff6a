// SPDX-FileCopyrightText: The Pleatora developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// Usage: node validate-gltf.js <folder holding node_modules> <model>
// Prints the validator's errors and exits with 1 when there are any.
const fs = require('fs');
const path = require('path');
const validator = require(path.resolve(process.argv[2], 'node_modules', 'gltf-validator'));

validator.validateBytes(new Uint8Array(fs.readFileSync(process.argv[3])), {maxIssues: 0})
    .then((report) => {
        for (const message of report.issues.messages) {
            if (message.severity === 0)
                console.log(`${message.code} ${message.pointer || ''}: ${message.message}`);
        }
        process.exit(report.issues.numErrors > 0 ? 1 : 0);
    })
    .catch((error) => {
        console.log(String(error));
        process.exit(2);
    });
