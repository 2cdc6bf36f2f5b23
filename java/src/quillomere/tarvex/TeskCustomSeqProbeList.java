package quillomere.tarvex;

/**
 * A probe list of a custom-sequence probe group: the probes of one position of the sequence.
 */
public class TeskCustomSeqProbeList {
    static {
        NativeLibrary.load();
    }

    /** ListIndex: Filled by the native methods. */
    public int ListIndex;
    /** NumProbes: Filled by the native methods. */
    public int NumProbes;
    /** ReferenceIndex: Filled by the native methods. */
    public int ReferenceIndex;
    /** SequencePosition: Filled by the native methods. */
    public int SequencePosition;
    /** GroupIndex: Filled by the native methods. */
    public int GroupIndex;

    // Where this object's data lies: the file object that produced it and the object's index
    // there (-1 for an object that no file object produced).
    Object m_owner;
    int m_nIndex = -1;
    int m_nGroup = -1;
    int m_nList = -1;
    // The reference index a custom-sequence list was fetched by, or -1.
    int m_nReference = -1;

    /**
     * One probe of this list.
     *
     * @param index index of the item, from 0
     * @return the probe
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskProbe GetProbeByIndex(int index) throws Exception;

    /**
     * Every probe of this list.
     *
     * @return the probes, in order
     * @throws Exception with the message of a failing step ("COM Error - ..." for a failing
     *     operation)
     */
    public native TeskProbe[] GetProbes() throws Exception;

}
