// Debian's Chromium, headless, driven by playwright-core (which downloads no
// browser of its own), with a fresh profile and none of the background
// traffic that stalls it on a closed network, as a desktop window or as the
// device described by playwright-core's descriptor. Shared by the page's test
// and its benchmark.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

export { devices } from 'playwright-core';

export const ChromiumPath = process.env.CHROMIUM ?? '/usr/bin/chromium';

export async function launchChromium(device = {}) {
  const { defaultBrowserType, ...emulation } = device;
  const profile = mkdtempSync(join(tmpdir(), 'brawlarium-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: ChromiumPath,
    headless: true,
    timeout: 30000,
    viewport: { width: 1000, height: 720 },
    ...emulation,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  context.setDefaultTimeout(15000);
  const close = async () => {
    await context.close();
    rmSync(profile, { recursive: true, force: true });
  };
  return { context, profile, close };
}
