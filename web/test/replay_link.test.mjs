// Reading and writing the replay link, without a browser: a link's seed
// and pause as the game takes them, at and past the game's limits.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { addressWithoutLink, linkTo, newSeed, readLink } from '../replay_link.js';

const Rules = { largestSeed: 4294967295, longestPause: 60000 };
const BadSeed = 'This link\'s seed is not a number from 0 to 4294967295; here is a new game';
const BadPause = 'This link\'s round pause is not a number of milliseconds from 0 to 60000, so the game keeps its own';
// [query, seed taken, pause taken, refusals]
const Cases = [
  ['', null, null, []],
  ['?seed=42&pause=2000', '42', '2000', []],
  ['?seed=0&pause=0', '0', '0', []],
  ['?seed=4294967295&pause=60000', '4294967295', '60000', []],
  ['?seed=4294967296', null, null, [BadSeed]],
  ['?seed=-1', null, null, [BadSeed]],
  ['?seed=abc', null, null, [BadSeed]],
  ['?seed=', null, null, [BadSeed]],
  ['?seed=1e3', null, null, [BadSeed]],
  ['?pause=60001', null, null, [BadPause]],
  ['?pause=0500', null, '500', []],
  ['?seed=4294967296&pause=60001', null, null, [BadSeed, BadPause]],
];

test('a link\'s seed and pause are taken within the game\'s limits, else refused in the page\'s words', () => {
  for (const [query, seed, pause, refusals] of Cases) {
    assert.deepEqual(readLink(query, Rules), { seed, pause, refusals }, query);
  }
});

test('the link written, the address without it, and fresh seeds within the limit', () => {
  assert.equal(linkTo('7', '0'), '?seed=7&pause=0');
  assert.equal(addressWithoutLink('file:///a/brawlarium.html?seed=7&pause=0#top'), 'file:///a/brawlarium.html#top');
  assert.equal(addressWithoutLink('file:///a/brawlarium.html?other=1&seed=7'), 'file:///a/brawlarium.html?other=1');
  assert.equal(addressWithoutLink('file:///a/brawlarium.html'), null);
  assert.equal(addressWithoutLink('file:///a/brawlarium.html#game=H4sI'), 'file:///a/brawlarium.html');
  for (const largest of [0, 9, 4294967295]) assert.ok(Number(newSeed(largest)) <= largest, String(largest));
});
